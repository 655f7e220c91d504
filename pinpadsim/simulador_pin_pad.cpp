#include "simulador_pin_pad.h"

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include "pinpad/abecs_comandos.h"
#include "pinpad/abecs_enlace.h"

namespace ql::pinpadsim {

using namespace ql::abecs;

namespace {

constexpr int kFatiaMs = 50;

QByteArray campos(const QList<CampoTlv>& lista) {
    const QByteArray bloco = codificaCampos(lista);
    return QByteArray::number(bloco.size()).rightJustified(3, '0') + bloco;
}

// The shortened track 2 of an event answer: up to seven characters after "=".
QString trilha2Curta(const QString& trilha2) {
    const qsizetype igual = trilha2.indexOf(u'=');
    return igual < 0 ? trilha2.left(19) : trilha2.left(igual + 8);
}

QString trilha1Curta(const QString& trilha1) {
    const qsizetype primeiro = trilha1.indexOf(u'^');
    const qsizetype segundo = primeiro < 0 ? -1 : trilha1.indexOf(u'^', primeiro + 1);
    return segundo < 0 ? trilha1.left(19) : trilha1.left(segundo + 8);
}

}  // namespace

SimuladorPinPad::SimuladorPinPad() = default;

SimuladorPinPad::~SimuladorPinPad() {
    parar_.store(true);
    if (servidor_.joinable()) servidor_.join();
    if (escravo_ >= 0) ::close(escravo_);
    if (mestre_ >= 0) ::close(mestre_);
}

bool SimuladorPinPad::inicia() {
    mestre_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (mestre_ < 0 || ::grantpt(mestre_) != 0 || ::unlockpt(mestre_) != 0) {
        erro_ = QStringLiteral("pseudo-terminal indisponível");
        return false;
    }
    caminho_ = QString::fromLocal8Bit(::ptsname(mestre_));
    // Held open so that the pad outlives each client's open and close, and raw so that
    // nothing the client sends is echoed or translated.
    escravo_ = ::open(caminho_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    termios modo{};
    if (escravo_ < 0 || ::tcgetattr(escravo_, &modo) != 0) {
        erro_ = QStringLiteral("não foi possível abrir %1").arg(caminho_);
        return false;
    }
    ::cfmakeraw(&modo);
    ::tcsetattr(escravo_, TCSANOW, &modo);
    servidor_ = std::thread([this] { serve(); });
    return true;
}

void SimuladorPinPad::defineRoteiro(const Roteiro& roteiro) {
    std::lock_guard trava(mutex_);
    roteiro_ = roteiro;
    naksFeitos_ = 0;
    crcsFeitos_ = 0;
}

QString SimuladorPinPad::comandos() const {
    std::lock_guard trava(mutex_);
    return comandos_.trimmed();
}

int SimuladorPinPad::leByte(int esperaMs) {
    const auto fim = std::chrono::steady_clock::now() + std::chrono::milliseconds(esperaMs);
    while (!parar_.load()) {
        const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(
                               fim - std::chrono::steady_clock::now())
                               .count();
        if (resta <= 0) return -1;
        pollfd p{mestre_, POLLIN, 0};
        if (::poll(&p, 1, int(std::min<long long>(resta, kFatiaMs))) > 0 && (p.revents & POLLIN)) {
            unsigned char c = 0;
            if (::read(mestre_, &c, 1) == 1) return c;
        }
    }
    return -2;
}

bool SimuladorPinPad::escreve(const QByteArray& bytes) {
    qsizetype feito = 0;
    while (feito < bytes.size()) {
        const ssize_t n = ::write(mestre_, bytes.constData() + feito, size_t(bytes.size() - feito));
        if (n <= 0) return false;
        feito += n;
    }
    return true;
}

void SimuladorPinPad::serve() {
    LeitorPacote leitor;
    const auto enviaResposta = [this] {
        QByteArray pacote = ultimaResposta_;
        std::lock_guard trava(mutex_);
        if (crcsFeitos_ < roteiro_.crcsErrados) {
            ++crcsFeitos_;
            pacote[pacote.size() - 1] = char(pacote.back() ^ 0x5A);
        }
        return pacote;
    };
    for (;;) {
        const int b = leByte(kFatiaMs);
        if (b == -2) return;
        if (b == -1) continue;
        Roteiro r;
        {
            std::lock_guard trava(mutex_);
            r = roteiro_;
        }
        if (r.mudo) continue;
        const char c = char(b);
        if (!leitor.dentroDePacote() && c == kCAN) {
            escreve(QByteArray(1, kEOT));
            continue;
        }
        if (!leitor.dentroDePacote() && c == kNAK) {
            if (!ultimaResposta_.isEmpty()) escreve(enviaResposta());
            continue;
        }
        switch (leitor.byte(c)) {
            case LeitorPacote::Evento::Pacote: {
                if (r.ruido) {
                    escreve(QByteArrayLiteral("\x01\x02garbage\x7f\xff\x00ruido"));
                    break;
                }
                {
                    std::lock_guard trava(mutex_);
                    if (naksFeitos_ < roteiro_.naksIniciais) {
                        ++naksFeitos_;
                        escreve(QByteArray(1, kNAK));
                        break;
                    }
                    comandos_ += QString::fromLatin1(leitor.dados().left(3)) + u' ';
                }
                escreve(QByteArray(1, kACK));
                if (r.gotejamentoMs >= 0) {
                    goteja();
                    break;
                }
                const QByteArray resposta = responde(leitor.dados());
                if (resposta.isEmpty()) break;  // cancelled by CAN
                ultimaResposta_ = montaPacote(resposta);
                escreve(enviaResposta());
                break;
            }
            case LeitorPacote::Evento::CrcErrado:
            case LeitorPacote::Evento::Excedido:
                escreve(QByteArray(1, kNAK));
                break;
            case LeitorPacote::Evento::Nenhum:
            case LeitorPacote::Evento::Fora:
                break;
        }
    }
}

QByteArray SimuladorPinPad::responde(const QByteArray& comando) {
    const QByteArray nome = comando.left(3);
    if (nome == "OPN" || nome == "DEX" || nome == "DSP") return nome + "000";
    if (nome == "CLO") {
        passouCartao_ = false;
        return nome + "000";
    }
    if (nome == "GIX") {
        return "GIX000" + campos({{PpSerNum, "SIM00042"},
                                  {PpModel, "QPAD-SIM;1MB"},
                                  {PpMnName, "QUILLANE"},
                                  {PpSpecVer, "2.12"}});
    }
    if (nome == "CEX") {
        passouCartao_ = false;
        leuTrilhas_ = false;
        return esperaEvento();
    }
    if (nome == "GTK") {
        if (!passouCartao_ || leuTrilhas_) return "GTK010";
        leuTrilhas_ = true;
        Roteiro r;
        {
            std::lock_guard trava(mutex_);
            r = roteiro_;
        }
        QList<CampoTlv> lista;
        if (!r.trilha1.isEmpty()) lista.append({PpTrack1, r.trilha1.toLatin1()});
        if (!r.trilha2.isEmpty()) lista.append({PpTrack2, codificaTrilha2(r.trilha2)});
        return "GTK000" + (lista.isEmpty() ? QByteArray() : campos(lista));
    }
    return "ERR010";
}

void SimuladorPinPad::goteja() {
    escreve(QByteArray(1, kSYN));
    const QByteArray bloco(64, 'A');
    for (;;) {
        int ms = -1;
        {
            std::lock_guard trava(mutex_);
            ms = roteiro_.gotejamentoMs;
        }
        if (parar_.load() || ms < 0) return;
        // What the client sends (CAN included) is read and ignored; a client that does not
        // read holds the trickle back instead of this thread.
        pollfd p{mestre_, POLLIN | POLLOUT, 0};
        if (::poll(&p, 1, kFatiaMs) <= 0) continue;
        if (p.revents & POLLIN) {
            char lixo[256];
            if (::read(mestre_, lixo, sizeof lixo) < 0) return;
        }
        if ((p.revents & POLLOUT) && ::write(mestre_, bloco.constData(), ms == 0 ? 64 : 1) < 0)
            return;
        if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

QByteArray SimuladorPinPad::esperaEvento() {
    Roteiro r;
    {
        std::lock_guard trava(mutex_);
        r = roteiro_;
    }
    const bool espera = r.leitura == Roteiro::Leitura::Nada;
    const auto fim = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(espera ? 24L * 3600 * 1000 : r.atrasoMs);
    while (std::chrono::steady_clock::now() < fim) {
        const int b = leByte(kFatiaMs);
        if (b == -2) return {};
        if (b == kCAN) {
            escreve(QByteArray(1, kEOT));
            return {};
        }
    }
    switch (r.leitura) {
        case Roteiro::Leitura::Cancela:
            return "CEX000" + campos({{PpEvent, kEventoTeclaCancela}});
        case Roteiro::Leitura::ErroLeitura:
            passouCartao_ = true;
            return "CEX000" + campos({{PpEvent, kEventoTarja}});
        case Roteiro::Leitura::Passagem:
        case Roteiro::Leitura::Nada:
            break;
    }
    passouCartao_ = true;
    QList<CampoTlv> lista{{PpEvent, kEventoTarja}};
    if (!r.trilha1.isEmpty()) lista.append({PpTrk1Inc, trilha1Curta(r.trilha1).toLatin1()});
    if (!r.trilha2.isEmpty()) lista.append({PpTrk2Inc, trilha2Curta(r.trilha2).toLatin1()});
    instantePassagem_.store(std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::steady_clock::now().time_since_epoch())
                                .count());
    return "CEX000" + campos(lista);
}

}  // namespace ql::pinpadsim
