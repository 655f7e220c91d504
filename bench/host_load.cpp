// Load driver for the simulated host: terminals on loopback selling a stored
// pre-authorisation (eligibility, sale) and undoing it so that the next round can sell it
// again. Reports round trips per second and the p50/p99 latency of the eligibility + sale
// pair, for one terminal and for 50 concurrent terminals. Bounded by a count of rounds and
// by a time limit; loopback only.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "host/framing.h"
#include "hostsim/host_server.h"
#include "hostsim/host_store.h"

namespace {

using namespace ql;
using namespace ql::hostsim;

constexpr int kTempoMaximoMs = 30000;
const QString kOperadora = QStringLiteral("QUILLANE SAUDE");
const std::vector<std::pair<QString, int>> kItens = {{QStringLiteral("7891185094945"), 2},
                                                     {QStringLiteral("7891370076022"), 1},
                                                     {QStringLiteral("7891444281406"), 3}};

QString cartaoDoTerminal(int i) {
    return QStringLiteral("60628290%1").arg(i, 8, 10, QLatin1Char('0'));
}

// A host database with one card and one stored pre-authorisation per terminal.
bool preparaBanco(const QString& caminho, int terminais) {
    HostStore store(caminho);
    const QDateTime agora = QDateTime::currentDateTime();
    QString erro;
    if (!store.abre(agora, &erro) || !store.begin()) {
        qWarning("host database: %s", qPrintable(erro + store.ultimoErro()));
        return false;
    }
    for (int i = 0; i < terminais; ++i) {
        Cartao c;
        c.numero = cartaoDoTerminal(i);
        c.titular = QStringLiteral("TERMINAL DE CARGA");
        c.subsidio = 5000;
        if (!store.adicionaCartao(c) ||
            store.adicionaPreAutorizacao(c.numero, kOperadora, kItens, agora) == 0) {
            qWarning("host database: %s", qPrintable(store.ultimoErro()));
            return false;
        }
    }
    if (!store.commit()) return false;
    return true;
}

// One terminal: a connection and the three requests of a round, each sent when the
// previous answer arrives.
class Terminal {
  public:
    Terminal(int indice, quint16 porta, int rodadas, std::vector<double>& latencias)
        : indice_(indice), rodadas_(rodadas), latencias_(latencias) {
        QObject::connect(&socket_, &QTcpSocket::connected, [this] { elegibilidade(); });
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { chegou(); });
        QObject::connect(&socket_, &QAbstractSocket::errorOccurred,
                         [this](QAbstractSocket::SocketError) { termina(false); });
        socket_.connectToHost(QStringLiteral("127.0.0.1"), porta);
    }

    bool terminou() const { return terminou_; }
    bool falhou() const { return falhou_; }
    int idasEVoltas() const { return idasEVoltas_; }

  private:
    enum class Passo { Elegibilidade, Venda, Desfaz };

    void envia(const QString& corpo) { socket_.write(framing::encodeWire(corpo)); }
    void elegibilidade() {
        if (feitas_ >= rodadas_) return termina(true);
        passo_ = Passo::Elegibilidade;
        inicio_.start();
        envia(QStringLiteral("000-000=0100;011-000=800500;001-000=1111;040-000=%1;940-000=003;"
                             "942-000=000000000054321;941-000=T%2;953-000=%3;")
                  .arg(kOperadora)
                  .arg(indice_, 7, 10, QLatin1Char('0'))
                  .arg(cartaoDoTerminal(indice_)));
    }
    void chegou() {
        decoder_.feed(socket_.readAll());
        for (;;) {
            const auto r = decoder_.next();
            if (r.status == framing::FrameDecoder::Status::NeedMore) return;
            if (r.status != framing::FrameDecoder::Status::Body) return termina(false);
            ++idasEVoltas_;
            if (!r.body.contains(QLatin1String("009-000=00;"))) return termina(false);
            responde(r.body);
        }
    }
    void responde(const QString& resposta) {
        switch (passo_) {
            case Passo::Elegibilidade: {
                static const QRegularExpression nsu(QStringLiteral("012-000=(\\d{12});"));
                nsu_ = nsu.match(resposta).captured(1);
                QString corpo = QStringLiteral(
                                    "000-000=0200;011-000=800300;001-000=1111;040-000=%1;"
                                    "012-000=%2;940-000=003;002-000=123456;900-000=0;901-000=%3;")
                                    .arg(kOperadora, nsu_)
                                    .arg(kItens.size(), 2, 10, QLatin1Char('0'));
                for (std::size_t j = 0; j < kItens.size(); ++j)
                    corpo += QStringLiteral(
                                 "902-%1=%2;906-%1=C;905-%1=%3;910-%1=0001000;"
                                 "911-%1=0000900;914-%1=00;")
                                 .arg(j, 3, 10, QLatin1Char('0'))
                                 .arg(kItens[j].first)
                                 .arg(kItens[j].second, 3, 10, QLatin1Char('0'));
                passo_ = Passo::Venda;
                envia(corpo);
                break;
            }
            case Passo::Venda:
                latencias_.push_back(double(inicio_.nsecsElapsed()) / 1e6);
                passo_ = Passo::Desfaz;
                envia(QStringLiteral("000-000=0420;011-000=800300;001-000=1111;040-000=%1;"
                                     "012-000=%2;942-000=000000000054321;941-000=T%3;")
                          .arg(kOperadora, nsu_)
                          .arg(indice_, 7, 10, QLatin1Char('0')));
                break;
            case Passo::Desfaz:
                ++feitas_;
                elegibilidade();
                break;
        }
    }
    void termina(bool ok) {
        if (terminou_) return;
        terminou_ = true;
        falhou_ = !ok;
        socket_.disconnectFromHost();
    }

    int indice_;
    int rodadas_;
    std::vector<double>& latencias_;
    QTcpSocket socket_;
    framing::FrameDecoder decoder_;
    Passo passo_ = Passo::Elegibilidade;
    QElapsedTimer inicio_;
    QString nsu_;
    int feitas_ = 0;
    int idasEVoltas_ = 0;
    bool terminou_ = false;
    bool falhou_ = false;
};

double percentil(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t i = std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

void Carga(benchmark::State& state, int terminais, int rodadas, bool comDiario) {
    QTemporaryDir dir;
    const QString banco = dir.filePath(QStringLiteral("carga.sqlite"));
    if (!preparaBanco(banco, terminais)) {
        state.SkipWithError("could not prepare the host database");
        return;
    }
    HostServerThread host(banco, comDiario ? dir.filePath(QStringLiteral("diario")) : QString());
    if (!host.inicia()) {
        state.SkipWithError("could not start the host");
        return;
    }
    for (auto _ : state) {
        std::vector<double> latencias;
        latencias.reserve(std::size_t(terminais * rodadas));
        std::vector<std::unique_ptr<Terminal>> lista;
        QElapsedTimer relogio;
        relogio.start();
        for (int i = 0; i < terminais; ++i)
            lista.push_back(std::make_unique<Terminal>(i, host.porta(), rodadas, latencias));
        QEventLoop laco;
        QTimer verifica;
        QObject::connect(&verifica, &QTimer::timeout, [&] {
            const bool todos = std::all_of(lista.begin(), lista.end(),
                                           [](const auto& t) { return t->terminou(); });
            if (todos || relogio.elapsed() > kTempoMaximoMs) laco.quit();
        });
        verifica.start(5);
        laco.exec();
        const double segundos = double(relogio.nsecsElapsed()) / 1e9;
        int idas = 0, falhas = 0;
        for (const auto& t : lista) {
            idas += t->idasEVoltas();
            if (t->falhou() || !t->terminou()) ++falhas;
        }
        state.SetIterationTime(segundos);
        state.counters["round_trips_per_s"] = double(idas) / segundos;
        state.counters["sales_per_s"] = double(latencias.size()) / segundos;
        state.counters["elig_sale_p50_ms"] = percentil(latencias, 0.50);
        state.counters["elig_sale_p99_ms"] = percentil(latencias, 0.99);
        state.counters["terminals_failed"] = falhas;
    }
}

void UmTerminal(benchmark::State& s) {
    Carga(s, 1, 300, false);
}
void UmTerminalComDiario(benchmark::State& s) {
    Carga(s, 1, 30, true);
}
void CinquentaTerminais(benchmark::State& s) {
    Carga(s, 50, 20, false);
}
void CinquentaTerminaisComDiario(benchmark::State& s) {
    Carga(s, 50, 4, true);
}

BENCHMARK(UmTerminal)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(UmTerminalComDiario)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(CinquentaTerminais)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(CinquentaTerminaisComDiario)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
