// The terminal store on the cashier's path and the settlement after an outage: the time the
// store write adds between F5 and the receipt (one approved sale written as authorised, on
// disk with full sync), and the time to settle 100 pending confirmations once quillane-host
// answers again over TCP on loopback. Each benchmark repeats and reports medians.
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

#include "data/demo_data_set.h"
#include "host/network_link.h"
#include "host/transacoes.h"
#include "hostsim/demo_data.h"
#include "hostsim/embedded_host_link.h"
#include "hostsim/host_server.h"
#include "hostsim/host_store.h"
#include "message/mensagem.h"
#include "sale/grade_autorizacao.h"
#include "sale/transacoes_produtos.h"
#include "shell/clock.h"
#include "shell/context.h"
#include "shell/settings.h"
#include "shell/silent_message_boxes.h"
#include "store/settlement.h"
#include "store/terminal_store.h"

namespace {

using namespace ql;

constexpr int kPendentes = 100;
const QString kCartao = QStringLiteral("6062829100000100");
const QString kOperadora = QStringLiteral("QUILLANE SAUDE");

// A host link that can be taken down: while down every exchange fails as a refused
// connection.
class LinkComChave final : public HostLink {
  public:
    explicit LinkComChave(std::unique_ptr<HostLink> link) : link_(std::move(link)) {}
    qint32 Process(QString& frame, QString& route, const QString& mode) override {
        return fora ? kServidorForaDoAr : link_->Process(frame, route, mode);
    }
    qint32 GetPreco(QString& c1, QString& c2, QString& d, QString& a1, QString& a2,
                    QString& s) override {
        return link_->GetPreco(c1, c2, d, a1, a2, s);
    }
    bool fora = false;

  private:
    std::unique_ptr<HostLink> link_;
};

// A terminal over the demo store, its files (and so its store) on the build's disk rather than
// in a memory file system, where a full sync would cost nothing.
struct Terminal {
    QTemporaryDir dir{QDir::current().filePath(QStringLiteral("bench-settlement-XXXXXX"))};
    SilentMessageBoxes caixas;
    SystemClock relogio;
    Context ctx{caixas, relogio};

    bool prepara() {
        if (!dir.isValid() || !GeraDadosDemonstracao(dir.path())) return false;
        ctx.programDir = dir.path();
        CarregaTabelasMensagem(ctx);
        if (!SetaEstruturaPrincipal(ctx)) return false;
        LigaArmazemTerminal(ctx);
        ctx.TelaAtual = QStringLiteral("VENDA");
        ctx.ident.NomeOperadora = kOperadora;
        ctx.ident.CodigoOperadora = QStringLiteral("00000123");
        return true;
    }
    // F4 and F5 for the card's newest pre-authorisation.
    bool vende(const QString& cartao, GradeAutorizacao& grade) {
        ctx.ident.NumeroCartao = cartao;
        return Mensagem_ElegPortador(ctx, 0) && Recupera_Pre(ctx, grade, 0) &&
               CarregaItemVenda_Grid(ctx, grade) &&
               Mensagem_GeracaoPre(ctx, grade, QStringLiteral("123456"));
    }
};

// The store write alone, as Mensagem_GeracaoPre does it after an approved sale: one row per
// iteration, each under a new NSU.
void EscritaDaVenda(benchmark::State& state) {
    Terminal t;
    if (!t.prepara()) {
        state.SkipWithError("could not prepare the demo store");
        return;
    }
    IniciaHostLink(t.ctx, hostsim::embeddedHostLinkFactory());
    GradeAutorizacao grade;
    if (!t.vende(QStringLiteral("6062820000000004"), grade)) {
        state.SkipWithError("the sale was not approved");
        return;
    }
    qint64 nsu = 900000000000;
    for (auto _ : state) {
        t.ctx.transacao.NsuTransacao = QString::number(++nsu);
        if (!RegistraVendaAprovada(t.ctx, grade, QStringLiteral("123456"))) {
            state.SkipWithError("the sale could not be written");
            break;
        }
    }
}

// 100 sales whose confirmation met a host that was down, then the host back and one pass of
// the background settlement (what the next logon-timer tick does).
void LiquidaPendentesAposQueda(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Terminal t;
        const QString banco = t.dir.filePath(QStringLiteral("tcp-host.sqlite"));
        bool ok = t.prepara();
        {
            hostsim::HostStore store(banco);
            const QDateTime agora = QDateTime::currentDateTime();
            hostsim::Cartao c;
            c.numero = kCartao;
            c.titular = QStringLiteral("CLIENTE DE MEDICAO");
            ok = ok && store.abre(agora, nullptr) && store.begin() && store.adicionaCartao(c);
            QString produto;
            for (const hostsim::DemoProduto& p : hostsim::demoProdutos())
                if (produto.isEmpty() && p.coberto && p.quantidadeMaxima >= 1)
                    produto = QString::fromLatin1(p.codigo);
            for (int i = 0; ok && i < kPendentes; ++i)
                ok = store.adicionaPreAutorizacao(kCartao, kOperadora, {{produto, 1}}, agora) != 0;
            ok = ok && store.commit();
        }
        hostsim::HostServerThread host(banco, t.dir.filePath(QStringLiteral("journal")));
        ok = ok && host.inicia();
        auto chave = std::make_unique<LinkComChave>(std::make_unique<NetworkHostLink>(
            HostEndpoint{false, QStringLiteral("127.0.0.1"), host.porta()}, 5000));
        LinkComChave& link = *chave;
        t.ctx.hostLink = std::move(chave);
        // The sales first, then every confirmation against a host that is down.
        QStringList nsus;
        for (int i = 0; ok && i < kPendentes; ++i) {
            GradeAutorizacao grade;
            ok = t.vende(kCartao, grade);
            nsus << t.ctx.transacao.NsuTransacao;
        }
        link.fora = true;
        for (const QString& nsu : nsus) {
            t.ctx.transacao.NsuTransacao = nsu;
            Mensagem_Confirmacao(t.ctx);
        }
        link.fora = false;
        if (!ok) {
            state.SkipWithError("could not make the pending sales");
            break;
        }
        state.ResumeTiming();

        const int liquidadas = LiquidaPendentes(t.ctx);

        state.PauseTiming();
        if (liquidadas != kPendentes) {
            state.SkipWithError("not every pending confirmation was settled");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["confirmations"] = kPendentes;
}

BENCHMARK(EscritaDaVenda)
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LiquidaPendentesAposQueda)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
