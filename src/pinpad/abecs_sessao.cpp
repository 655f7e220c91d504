#include "pinpad/abecs_sessao.h"

#include <QSerialPort>

#include <algorithm>
#include <limits>

namespace ql::abecs {

namespace {

// The slice of each wait, so that a cancellation is seen within it.
constexpr int kFatiaMs = 20;
// Bytes outside any packet that make a waiting answer a pad speaking noise.
constexpr int kMaxRuido = 4096;
// A write may finish this long after a deadline has passed (a CAN must still go out).
constexpr int kEscritaMinimaMs = 50;

qint64 resta(const QDeadlineTimer& prazo) {
    return prazo.isForever() ? std::numeric_limits<qint64>::max() : prazo.remainingTime();
}

}  // namespace

bool SessaoAbecs::cancelado() {
    if (desistindo_ || !cancelar_.load()) return false;
    if (prazoCancelamento_.isForever())
        prazoCancelamento_.setRemainingTime(tempos_.aposCancelamento);
    return true;
}

int SessaoAbecs::restante(int esperaMs) const {
    return int(std::max<qint64>(
        0, std::min({qint64(esperaMs), resta(prazo_), resta(prazoCancelamento_)})));
}

bool SessaoAbecs::escreve(const QByteArray& bytes) {
    if (porta_.write(bytes) != bytes.size()) return false;
    while (porta_.bytesToWrite() > 0) {
        if (!porta_.waitForBytesWritten(std::max(restante(tempos_.byte), kEscritaMinimaMs)))
            return false;
    }
    return true;
}

SessaoAbecs::Leitura SessaoAbecs::leByte(char& c, int esperaMs) {
    const QDeadlineTimer fim(restante(esperaMs));
    for (;;) {
        // Looked at before any byte already read, so that a pad that never stops sending
        // still meets the deadline and the cancellation.
        if (cancelado()) return Leitura::Cancelado;
        if (prazo_.hasExpired() || prazoCancelamento_.hasExpired()) return Leitura::Tempo;
        if (lidos_ < entrada_.size()) {
            c = entrada_.at(lidos_++);
            return Leitura::Byte;
        }
        entrada_.clear();
        lidos_ = 0;
        if (porta_.error() != QSerialPort::NoError && porta_.error() != QSerialPort::TimeoutError) {
            return Leitura::Falha;
        }
        const qint64 r = fim.remainingTime();
        if (r <= 0) return Leitura::Tempo;
        if (porta_.waitForReadyRead(int(std::min<qint64>(r, kFatiaMs))) ||
            porta_.bytesAvailable() > 0) {
            entrada_ = porta_.readAll();
        } else if (porta_.error() == QSerialPort::TimeoutError) {
            porta_.clearError();
        }
    }
}

SessaoAbecs::Leitura SessaoAbecs::esperaSilencio() {
    char c = 0;
    Leitura l;
    while ((l = leByte(c, tempos_.silencio)) == Leitura::Byte) {
    }
    return l;
}

Desfecho SessaoAbecs::canEot() {
    for (int tentativa = 0; tentativa < tempos_.tentativas; ++tentativa) {
        if (!escreve(QByteArray(1, kCAN))) return Desfecho::Ligacao;
        const QDeadlineTimer fim(restante(tempos_.byte));
        // Whatever else arrives meanwhile (an answer crossing the CAN) is ignored.
        for (;;) {
            char c = 0;
            const Leitura l = leByte(c, int(std::max<qint64>(fim.remainingTime(), 0)));
            if (l == Leitura::Falha) return Desfecho::Ligacao;
            if (l == Leitura::Cancelado) return Desfecho::Cancelado;
            if (l != Leitura::Byte) break;
            if (c == kEOT) {
                entrada_.clear();
                lidos_ = 0;
                return Desfecho::Ok;
            }
        }
        if (prazo_.hasExpired() || prazoCancelamento_.hasExpired()) break;
    }
    return Desfecho::SemResposta;
}

Desfecho SessaoAbecs::cancela() {
    prazo_.setRemainingTime(qint64(tempos_.byte) * tempos_.tentativas);
    return canEot();
}

Desfecho SessaoAbecs::desiste() {
    // The command is ended on the pad within the time left after the cancellation.
    desistindo_ = true;
    prazo_ = prazoCancelamento_;
    const Desfecho d = canEot();
    desistindo_ = false;
    if (d == Desfecho::Ok) return Desfecho::Cancelado;
    return d == Desfecho::Ligacao ? Desfecho::Ligacao : Desfecho::SemResposta;
}

Desfecho SessaoAbecs::enviaComAck(const QByteArray& pacote) {
    for (int tentativa = 0; tentativa < tempos_.tentativas; ++tentativa) {
        if (!escreve(pacote)) return Desfecho::Ligacao;
        char c = 0;
        switch (leByte(c, tempos_.ack)) {
            case Leitura::Byte:
                if (c == kACK) return Desfecho::Ok;
                if (c != kNAK) return Desfecho::Protocolo;
                break;
            case Leitura::Tempo:
                return Desfecho::SemResposta;
            case Leitura::Cancelado:
                return Desfecho::Cancelado;
            case Leitura::Falha:
                return Desfecho::Ligacao;
        }
    }
    return Desfecho::Protocolo;
}

Desfecho SessaoAbecs::recebe() {
    LeitorPacote leitor;
    int ruins = 0;
    int ruido = 0;
    for (;;) {
        // Inside a packet each byte has its own wait too; the exchange's deadline bounds both.
        const int espera = leitor.dentroDePacote() ? tempos_.byte : std::numeric_limits<int>::max();
        char c = 0;
        switch (leByte(c, espera)) {
            case Leitura::Byte:
                break;
            case Leitura::Tempo:
                return Desfecho::SemResposta;
            case Leitura::Cancelado:
                return Desfecho::Cancelado;
            case Leitura::Falha:
                return Desfecho::Ligacao;
        }
        switch (leitor.byte(c)) {
            case LeitorPacote::Evento::Nenhum:
                break;
            case LeitorPacote::Evento::Fora:
                if (++ruido > kMaxRuido) return Desfecho::Protocolo;
                break;
            case LeitorPacote::Evento::Pacote:
                resposta_ = leitor.dados();
                return Desfecho::Ok;
            case LeitorPacote::Evento::CrcErrado:
            case LeitorPacote::Evento::Excedido:
                switch (esperaSilencio()) {
                    case Leitura::Cancelado:
                        return Desfecho::Cancelado;
                    case Leitura::Falha:
                        return Desfecho::Ligacao;
                    default:
                        break;
                }
                if (++ruins >= tempos_.tentativas) return Desfecho::Protocolo;
                if (!escreve(QByteArray(1, kNAK))) return Desfecho::Ligacao;
                break;
        }
    }
}

Desfecho SessaoAbecs::troca(const QByteArray& comando, int esperaBloqueanteMs) {
    resposta_.clear();
    if (cancelado()) return Desfecho::Cancelado;
    // One deadline for the whole exchange: the ACK, then the answer however its bytes come.
    const int limite =
        esperaBloqueanteMs > 0 ? esperaBloqueanteMs + tempos_.margemBloqueante : tempos_.resposta;
    prazo_.setRemainingTime(qint64(limite) + tempos_.ack);
    Desfecho d = enviaComAck(montaPacote(comando));
    if (d == Desfecho::Ok) d = recebe();
    return d == Desfecho::Cancelado ? desiste() : d;
}

}  // namespace ql::abecs
