#pragma once

#include <QByteArray>
#include <QDeadlineTimer>

#include <atomic>

#include "pinpad/abecs_enlace.h"

class QSerialPort;

namespace ql::abecs {

// The waits of the link, in milliseconds, as the protocol sets them; tests shorten them.
struct Tempos {
    int ack = 2000;        // ACK or NAK after a packet
    int byte = 2000;       // each byte once a packet has begun, and EOT after CAN
    int resposta = 10000;  // the answer to a command that does not wait for the cardholder
    int silencio = 500;    // quiet that ends a bad packet before NAK
    int tentativas = 3;    // sends of a command (NAK), of CAN (no EOT), reads of an answer
    // A command that waits for the cardholder is bounded by its own wait plus this margin, so
    // that a pad that goes quiet in the middle of it still gives up.
    int margemBloqueante = 10000;
    // Everything that follows a cancellation from this side (CAN and its EOT, the closing of
    // the pad) ends within this time of the moment the cancellation is seen, so that the wait
    // window closes within a second of Esc whatever the pad does.
    int aposCancelamento = 700;
};

// How an exchange ended.
enum class Desfecho {
    Ok,           // the answer is in resposta()
    Cancelado,    // cancelled from this side: CAN sent and EOT received
    SemResposta,  // no ACK, no answer, no EOT, or an answer cut short
    Protocolo,    // three NAKs, three bad answers, an unexpected byte, or only noise
    Ligacao,      // the serial port failed (unplugged)
};

// One conversation with the pad on an open serial port, in the calling thread: the port's
// blocking waits, in short slices so that a cancellation (set from any thread) is seen at once.
// Every exchange has one overall deadline, whatever the pad sends inside it (a pad that
// trickles bytes, or never ends an oversized packet, cannot hold the till), and every wait
// looks at the cancellation.
class SessaoAbecs {
  public:
    SessaoAbecs(QSerialPort& porta, const Tempos& tempos, const std::atomic<bool>& cancelar)
        : porta_(porta), tempos_(tempos), cancelar_(cancelar) {}

    // CAN until the pad answers EOT, ending any command still running on it (Cancelado when
    // the cancellation is asked for meanwhile).
    Desfecho cancela();
    // Sends `comando` and reads its answer. `esperaBloqueanteMs` > 0 marks a command that
    // waits for the cardholder: its answer may take that long (plus the margin). A
    // cancellation once the command has gone sends CAN: Cancelado when the pad answers EOT.
    Desfecho troca(const QByteArray& comando, int esperaBloqueanteMs = 0);
    const QByteArray& resposta() const { return resposta_; }

  private:
    enum class Leitura { Byte, Tempo, Cancelado, Falha };
    // One byte within `esperaMs`, the exchange's deadline and, once cancelled, the time left
    // after the cancellation.
    Leitura leByte(char& c, int esperaMs);
    bool cancelado();
    // Milliseconds left before the first of the exchange's deadline and `esperaMs`.
    int restante(int esperaMs) const;
    bool escreve(const QByteArray& bytes);
    Desfecho enviaComAck(const QByteArray& pacote);
    Desfecho recebe();
    Leitura esperaSilencio();
    Desfecho canEot();
    Desfecho desiste();

    QSerialPort& porta_;
    const Tempos& tempos_;
    const std::atomic<bool>& cancelar_;
    QByteArray entrada_;  // bytes read from the port, taken from `lidos_` on
    qsizetype lidos_ = 0;
    QByteArray resposta_;
    QDeadlineTimer prazo_{QDeadlineTimer::Forever};              // the current exchange's
    QDeadlineTimer prazoCancelamento_{QDeadlineTimer::Forever};  // set when cancelled
    bool desistindo_ = false;  // sending CAN after a cancellation: the flag is not news
};

}  // namespace ql::abecs
