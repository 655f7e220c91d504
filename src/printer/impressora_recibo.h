#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace ql {

struct Context;
struct EstruturaPrincipal;

// Where receipts are printed. CORE.ini RECEIPT_PRINTER chooses it; without that key receipts
// go where PRINTER says, as the grid prints always do. Forms:
//   a system printer name, "" (the default printer) or "pdf:DIRECTORY"   -> Sistema
//   "escpos:DEVICE"              a character device such as /dev/usb/lp0 -> EscPosDispositivo
//   "escpos:DEVICE@BAUD"         a serial port, 8 data bits, no parity   -> EscPosSerial
//   "escpos:tcp://HOST[:PORT]"   the printer's raw port (9100 when none) -> EscPosTcp
//   "escpos:file:PATH"           appends each job to a file (trials)     -> EscPosArquivo
struct DestinoRecibo {
    enum class Tipo {
        Sistema,
        EscPosDispositivo,
        EscPosSerial,
        EscPosTcp,
        EscPosArquivo,
        Invalido
    };
    Tipo tipo = Tipo::Sistema;
    QString nome;  // printer name or "pdf:DIR"; device or file path; host name
    quint16 porta = 0;
    qint32 baud = 0;
    QString erro;  // why the setting is not valid (Invalido)

    bool escpos() const { return tipo != Tipo::Sistema && tipo != Tipo::Invalido; }
    // The destination in words for the technician: "ESC/POS em 10.0.0.5:9100", ...
    QString descricao() const;
};

inline constexpr quint16 kPortaEscPosPadrao = 9100;
inline constexpr qint32 kColunasReciboPadrao = 48;
// How long a receipt printer may take to accept a job before the cashier is told.
inline constexpr int kTempoLimiteImpressoraMs = 3000;
// How long a printer that can answer is given to tell its paper status before the job.
inline constexpr int kEsperaStatusMs = 500;

DestinoRecibo InterpretaDestinoRecibo(const QString& valor);
// RECEIPT_PRINTER when it is set, PRINTER otherwise.
DestinoRecibo DestinoReciboConfigurado(const EstruturaPrincipal& config);

struct ResultadoImpressao {
    bool ok = false;
    QString erro;  // one sentence for the cashier when the job did not go out
};

// The printer the receipt screen and the settings window print receipts on.
class ImpressoraRecibo {
  public:
    virtual ~ImpressoraRecibo() = default;
    // Prints the lines, one printer line each, in order, and returns once the printer has
    // taken the job or has failed. Never waits longer than the printer's time limit; the
    // window keeps painting meanwhile (keys and clicks wait).
    virtual ResultadoImpressao imprime(const QStringList& linhas) = 0;
};

// A thermal printer that takes ESC/POS: the lines are wrapped at `colunas`, written in the
// receipt code page, fed and cut, `vias` times in one job (the store's copy, then the
// customer's). Over TCP and serial ports the paper status is asked first, and a printer
// without paper gets no job.
std::unique_ptr<ImpressoraRecibo> CriaImpressoraEscPos(const DestinoRecibo& destino, int colunas,
                                                       int tempoLimiteMs = kTempoLimiteImpressoraMs,
                                                       int vias = 1);

// The short receipt of the settings window's printer test: a title, the terminal, the
// clock's date and time, the destination, a line of accented letters and a ruler as wide as
// the receipt.
QStringList LinhasTesteImpressora(const Context& ctx);

}  // namespace ql
