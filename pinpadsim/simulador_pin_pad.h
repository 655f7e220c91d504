#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

namespace ql::pinpadsim {

// What the simulated pad does; the same at every read until changed.
struct Roteiro {
    enum class Leitura {
        Passagem,     // a card is swiped `atrasoMs` after the event wait begins
        Cancela,      // the cardholder presses the cancel key after `atrasoMs`
        ErroLeitura,  // a swipe after `atrasoMs` that reads no track
        Nada,         // nothing happens until the pad's own wait runs out
    };
    Leitura leitura = Leitura::Passagem;
    int atrasoMs = 300;
    QString trilha1;  // sent when not empty
    QString trilha2 = QStringLiteral("6062820000000001=30121010000000000");
    int naksIniciais = 0;  // NAK this many packets first, whatever their CRC
    int crcsErrados = 0;   // send this many answers with a bad CRC first
    bool mudo = false;     // answer nothing at all (not even EOT)
    bool ruido = false;    // answer every packet with bytes that are no packet
    // 0 or more: a pad that trickles. Every packet is ACKed and answered by a packet that never
    // ends: SYN, then a data byte every gotejamentoMs (0: as fast as the link takes them), on
    // past the largest packet, until the script changes; CAN is not answered meanwhile.
    int gotejamentoMs = -1;
};

// A PIN pad on a pseudo-terminal speaking the card industry's pad protocol, served on a thread
// of its own: open, identity, display, event wait with swipe or cancel key, tracks, close; CAN
// answered with EOT at any time. The client opens devicePath() as its serial port.
class SimuladorPinPad {
  public:
    SimuladorPinPad();
    ~SimuladorPinPad();
    SimuladorPinPad(const SimuladorPinPad&) = delete;
    SimuladorPinPad& operator=(const SimuladorPinPad&) = delete;

    // Opens the pseudo-terminal and starts serving; false (and erro()) when it cannot.
    bool inicia();
    QString caminho() const { return caminho_; }
    const QString& erro() const { return erro_; }

    void defineRoteiro(const Roteiro& roteiro);
    // Commands received so far (names in order), e.g. "OPN GIX DEX CEX GTK CLO".
    QString comandos() const;
    // When the last swipe's answer was written (steady clock, microseconds).
    qint64 instantePassagem() const { return instantePassagem_.load(); }

  private:
    void serve();
    QByteArray responde(const QByteArray& comando);
    QByteArray esperaEvento();
    void goteja();
    bool escreve(const QByteArray& bytes);
    int leByte(int esperaMs);  // -1 on time-out, -2 when stopping

    int mestre_ = -1;
    int escravo_ = -1;
    QString caminho_;
    QString erro_;
    std::thread servidor_;
    std::atomic<bool> parar_{false};
    std::atomic<qint64> instantePassagem_{0};
    mutable std::mutex mutex_;
    Roteiro roteiro_;
    QString comandos_;
    QByteArray ultimaResposta_;
    bool passouCartao_ = false;
    bool leuTrilhas_ = false;
    int naksFeitos_ = 0;
    int crcsFeitos_ = 0;
};

}  // namespace ql::pinpadsim
