#include "pinpad/abecs_sessao.h"

#include <QSerialPort>

#include <algorithm>

namespace ql::abecs {

namespace {

// The slice of each wait, so that a cancellation is seen within it.
constexpr int kFatiaMs = 20;
// Bytes outside any packet that make a waiting answer a pad speaking noise.
constexpr int kMaxRuido = 4096;

}  // namespace

bool SessaoAbecs::escreve(const QByteArray& bytes) {
    if (porta_.write(bytes) != bytes.size()) return false;
    while (porta_.bytesToWrite() > 0) {
        if (!porta_.waitForBytesWritten(tempos_.byte)) return false;
    }
    return true;
}

SessaoAbecs::Leitura SessaoAbecs::leByte(char& c, int esperaMs, bool atendeCancelamento) {
    QElapsedTimer relogio;
    relogio.start();
    for (;;) {
        if (!entrada_.isEmpty()) {
            c = entrada_.front();
            entrada_.remove(0, 1);
            return Leitura::Byte;
        }
        if (atendeCancelamento && cancelar_.load()) return Leitura::Cancelado;
        if (porta_.error() != QSerialPort::NoError && porta_.error() != QSerialPort::TimeoutError) {
            return Leitura::Falha;
        }
        const qint64 resta = esperaMs - relogio.elapsed();
        if (resta <= 0) return Leitura::Tempo;
        if (porta_.waitForReadyRead(int(std::min<qint64>(resta, kFatiaMs))) ||
            porta_.bytesAvailable() > 0) {
            entrada_ += porta_.readAll();
        } else if (porta_.error() == QSerialPort::TimeoutError) {
            porta_.clearError();
        }
    }
}

void SessaoAbecs::esperaSilencio() {
    char c = 0;
    while (leByte(c, tempos_.silencio, false) == Leitura::Byte) {
    }
}

Desfecho SessaoAbecs::cancela() {
    for (int tentativa = 0; tentativa < tempos_.tentativas; ++tentativa) {
        if (!escreve(QByteArray(1, kCAN))) return Desfecho::Ligacao;
        QElapsedTimer relogio;
        relogio.start();
        // Whatever else arrives meanwhile (an answer crossing the CAN) is ignored.
        for (;;) {
            char c = 0;
            const qint64 resta = tempos_.byte - relogio.elapsed();
            const Leitura l = leByte(c, int(std::max<qint64>(resta, 0)), false);
            if (l == Leitura::Falha) return Desfecho::Ligacao;
            if (l != Leitura::Byte) break;
            if (c == kEOT) {
                entrada_.clear();
                return Desfecho::Ok;
            }
        }
    }
    return Desfecho::SemResposta;
}

Desfecho SessaoAbecs::enviaComAck(const QByteArray& pacote) {
    for (int tentativa = 0; tentativa < tempos_.tentativas; ++tentativa) {
        if (!escreve(pacote)) return Desfecho::Ligacao;
        char c = 0;
        switch (leByte(c, tempos_.ack, false)) {
            case Leitura::Byte:
                if (c == kACK) return Desfecho::Ok;
                if (c != kNAK) return Desfecho::Protocolo;
                break;
            case Leitura::Tempo:
            case Leitura::Cancelado:
                return Desfecho::SemResposta;
            case Leitura::Falha:
                return Desfecho::Ligacao;
        }
    }
    return Desfecho::Protocolo;
}

Desfecho SessaoAbecs::recebe(int limiteMs, bool bloqueante) {
    LeitorPacote leitor;
    QElapsedTimer relogio;
    relogio.start();
    int ruins = 0;
    int ruido = 0;
    for (;;) {
        const int espera = leitor.dentroDePacote()
                               ? tempos_.byte
                               : int(std::max<qint64>(limiteMs - relogio.elapsed(), 0));
        char c = 0;
        switch (leByte(c, espera, bloqueante && !leitor.dentroDePacote())) {
            case Leitura::Byte:
                break;
            case Leitura::Tempo:
                return Desfecho::SemResposta;
            case Leitura::Cancelado:
                return cancela() == Desfecho::Ok ? Desfecho::Cancelado : Desfecho::SemResposta;
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
                esperaSilencio();
                if (++ruins >= tempos_.tentativas) return Desfecho::Protocolo;
                if (!escreve(QByteArray(1, kNAK))) return Desfecho::Ligacao;
                break;
        }
    }
}

Desfecho SessaoAbecs::troca(const QByteArray& comando, int esperaBloqueanteMs) {
    resposta_.clear();
    if (cancelar_.load()) return Desfecho::Cancelado;
    const Desfecho enviado = enviaComAck(montaPacote(comando));
    if (enviado != Desfecho::Ok) return enviado;
    const bool bloqueante = esperaBloqueanteMs > 0;
    return recebe(bloqueante ? esperaBloqueanteMs + tempos_.margemBloqueante : tempos_.resposta,
                  bloqueante);
}

}  // namespace ql::abecs
