#pragma once

#include <QString>

#include <atomic>
#include <mutex>

#include "pinpad/abecs_comandos.h"
#include "pinpad/abecs_sessao.h"
#include "sale/pin_pad.h"

namespace ql {

// The PIN pad on the counter, over its serial port (USB pads appear as /dev/ttyACM*), speaking
// the Brazilian card industry's public pad protocol. A read opens the port, ends whatever the
// pad was doing (CAN), opens the pad, asks its identity on the first read of the run, shows the
// prompt, waits for a swipe or the pad's cancel key, takes the tracks, closes the pad with the
// idle message and closes the port. The card number (track 2 before "=", else track 1) goes in
// the track buffer; the tracks themselves go nowhere else.
//
// GetTrack blocks its caller and is meant to run off the user-interface thread; cancela() may
// be called from any thread and ends the wait on the pad (CAN) with kCancelado.
class PinPadAbecs final : public PinPad {
  public:
    // Results besides those of PinPad.
    static constexpr qint32 kSemResposta = -3;     // the pad did not answer in time
    static constexpr qint32 kErroProtocolo = -5;   // NAKs, bad packets, noise, odd answers
    static constexpr qint32 kLigacaoPerdida = -6;  // the port failed during the read
    static constexpr qint32 kSemPassagem = -21;    // no card swiped in the pad's wait
    // Seconds the pad waits for a swipe before giving up.
    static constexpr int kEsperaCartaoS = 120;
    static constexpr qint32 kBaudPadrao = 19200;

    // `dispositivo` empty marks a setting that could not be read (see motivo).
    PinPadAbecs(QString dispositivo, qint32 baud, abecs::Tempos tempos = {});

    qint32 GetTrack(QByteArray& trilha, QString& aux) override;
    bool esperaForaDaTela() const override { return true; }
    void cancela() override { cancelar_.store(true); }
    // What the pad said about itself and about the last read (identity, why a read failed),
    // for the support log. Never holds a track.
    QString relato() const;

    // Opens the pad only to ask its identity; false (and motivo()) when it cannot.
    bool LeInformacoes(abecs::InfoPinPad& info);

    const QString& dispositivo() const { return dispositivo_; }
    // Why the last read or question failed, for the log and the settings window; empty after
    // a success.
    QString motivo() const;
    // The pad's identity, once a read or question has asked it.
    std::optional<abecs::InfoPinPad> info() const;

  private:
    struct Sessao;
    qint32 le(QByteArray& trilha);
    qint32 abre(Sessao& s);
    abecs::Desfecho perguntaInfo(Sessao& s);
    qint32 leCartao(abecs::SessaoAbecs& sessao, QByteArray& trilha);
    void defineMotivo(const QString& texto);

    QString dispositivo_;
    qint32 baud_;
    abecs::Tempos tempos_;
    std::atomic<bool> cancelar_{false};
    mutable std::mutex mutex_;
    QString motivo_;
    std::optional<abecs::InfoPinPad> info_;
};

}  // namespace ql
