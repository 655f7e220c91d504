#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace ql {

struct Context;

// The card reader of the PIN pad (the card-reader library's GetTrack). The call blocks until
// the card is read, the cashier cancels on the pad, or the pad fails.
class PinPad {
  public:
    // The track buffer handed to the pad: 400 blanks.
    static constexpr int kTamanhoTrilha = 400;

    // Result codes: 0 or more = track read; kCancelado = cancelled at the pad; kErroLeitura or
    // less = the card could not be read; any other negative value = the pad is not reachable.
    static constexpr qint32 kCancelado = -4;
    static constexpr qint32 kErroLeitura = -20;
    static constexpr qint32 kSemComunicacao = -2;

    virtual ~PinPad() = default;

    // `trilha` arrives as kTamanhoTrilha blanks (8-bit characters) and leaves holding the track
    // text; `aux` is a text the pad may change (its value is not used).
    virtual qint32 GetTrack(QByteArray& trilha, QString& aux) = 0;

    // True for a pad whose GetTrack may run on a thread of its own while the wait window stays
    // live; such a pad also takes cancela() from the window's thread, which ends the wait with
    // kCancelado.
    virtual bool esperaForaDaTela() const { return false; }
    virtual void cancela() {}
};

// How a GetTrack result is to be told to the cashier.
enum class ResultadoPinPad { TrilhaLida, Cancelado, ErroLeitura, SemAcesso };
ResultadoPinPad ClassificaRetornoPinPad(qint32 retorno);

// The message of a failed read ("Erro na Leitura do Cartão" / "Erro no Acesso ao PinPad", titled
// kTituloLeituraCartao); empty when there is nothing to tell (track read, or cancelled).
QString MensagemRetornoPinPad(qint32 retorno);
inline constexpr char16_t kTituloLeituraCartao[] = u"Leitura do Cartão";

// A pad that takes its track from a text file, for unattended runs and tests. Each read opens
// the file again; its first line is the track. A first line "RETORNO=n" makes the pad answer
// code n with an empty track instead (for instance RETORNO=-4 for a cancellation on the pad). A
// missing or unreadable file answers kSemComunicacao, as a pad that cannot be reached.
class PinPadArquivo final : public PinPad {
  public:
    explicit PinPadArquivo(QString caminho) : caminho_(std::move(caminho)) {}
    qint32 GetTrack(QByteArray& trilha, QString& aux) override;
    const QString& caminho() const { return caminho_; }

  private:
    QString caminho_;
};

// Which pad a run uses: CORE.ini in Path CORE, section CONFIG, key "PINPAD":
//   "" or "dialogo"   the cashier swipes or types the track in a small window
//   "arquivo:PATH"    the track file above (a relative PATH is taken from Path CORE)
//   "nenhum"          no pad installed: a read reports the card-reader library as missing
//   "abecs:DEVICE[@BAUD]"  a pad on a serial port speaking the card industry's pad protocol
//                     (src/pinpad/); BAUD defaults to 19200, always 8 bits, no parity, 1 stop
struct ConfiguracaoPinPad {
    enum class Tipo { Dialogo, Arquivo, Nenhum, Abecs };
    Tipo tipo = Tipo::Dialogo;
    QString caminho;  // Arquivo: absolute path of the track file; Abecs: the device, empty
                      // when the value could not be read
    qint32 baud = 0;  // Abecs only
    bool operator==(const ConfiguracaoPinPad&) const = default;
};
// Reads a value of the key (letter case of the kind ignored; the path keeps its case).
// Unknown kinds are taken as "nenhum", so that a misspelt setting never reads a card by
// surprise; a malformed "abecs:" value keeps its kind with no device, so that every read
// reports the pad as not reachable and says why.
ConfiguracaoPinPad InterpretaConfiguracaoPinPad(const QString& valor, const QString& pathCore);
ConfiguracaoPinPad LeConfiguracaoPinPad(Context& ctx);

// The pad of the run: ctx.pinPad when one is set (a test or a screen put it there), else the
// track-file or serial pad when the settings name one (created and kept in ctx.pinPad).
// nullptr when the settings ask for the dialog (which the screen layer supplies) or for no
// pad.
PinPad* ObtemPinPad(Context& ctx);

// One read as the PIN-pad window does it: a 400-blank buffer, GetTrack, and the whole buffer
// back as text (Windows-1252). `retorno` stays -1 when there is no pad.
struct LeituraPinPad {
    qint32 RetornoPinPad = -1;
    QString TrilhaCartao;
};
LeituraPinPad LeTrilha(PinPad& pad);

}  // namespace ql
