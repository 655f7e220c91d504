// What a cashier waits for: the time from F5 to the receipt for a sale of 24 products (the
// grid into the item list, the two pages of the sale, the receipt lines read from the last
// answer), against the in-process host and against quillane-host over TCP on loopback, in
// the text and the ISO form; and, when the screens are built in, the client's start-up over
// the demo store until its first screen is up. Each benchmark repeats and reports medians.
#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>
#include <utility>
#include <vector>

#include "data/demo_data_set.h"
#include "host/host_link.h"
#include "host/network_link.h"
#include "host/transacoes.h"
#include "hostsim/demo_data.h"
#include "hostsim/embedded_host_link.h"
#include "hostsim/host_server.h"
#include "hostsim/host_store.h"
#include "message/campo_resposta.h"
#include "message/mensagem.h"
#include "sale/grade_autorizacao.h"
#include "sale/transacoes_produtos.h"
#include "shell/clock.h"
#include "shell/context.h"
#include "shell/settings.h"
#include "shell/silent_message_boxes.h"
#include "shell/text_files.h"

#ifdef QL_BENCH_UI
#include "shell/screens/form_principal.h"
#include "ui/telas.h"
#endif

namespace {

using namespace ql;

constexpr int kProdutosVenda = 24;
const QString kCartao = QStringLiteral("6062829100000024");
const QString kOperadora = QStringLiteral("QUILLANE SAUDE");

// 24 products the benefit covers, one unit each: a sale of two full pages.
std::vector<std::pair<QString, int>> itensDaVenda() {
    std::vector<std::pair<QString, int>> itens;
    for (const hostsim::DemoProduto& p : hostsim::demoProdutos()) {
        if (!p.coberto || p.quantidadeMaxima < 1) continue;
        itens.emplace_back(QString::fromLatin1(p.codigo), 1);
        if (int(itens.size()) == kProdutosVenda) break;
    }
    return itens;
}

// Adds the benchmark's card and its stored pre-authorisation of 24 products to a host
// database (created with the demo data when new).
bool preparaBanco(const QString& caminho) {
    hostsim::HostStore store(caminho);
    const QDateTime agora = QDateTime::currentDateTime();
    QString erro;
    if (!store.abre(agora, &erro) || !store.begin()) return false;
    hostsim::Cartao c;
    c.numero = kCartao;
    c.titular = QStringLiteral("CLIENTE DE MEDICAO");
    c.subsidio = 5000;
    const auto itens = itensDaVenda();
    if (int(itens.size()) != kProdutosVenda || !store.adicionaCartao(c) ||
        store.adicionaPreAutorizacao(kCartao, kOperadora, itens, agora) == 0) {
        store.rollback();
        return false;
    }
    return store.commit();
}

// A terminal over the demo store: the settings of its data set, the QUILLANE SAUDE operadora.
struct Terminal {
    QTemporaryDir dir;
    SilentMessageBoxes caixas;
    SystemClock relogio;
    Context ctx{caixas, relogio};

    bool prepara(bool iso) {
        if (!dir.isValid() || !GeraDadosDemonstracao(dir.path())) return false;
        ctx.programDir = dir.path();
        CarregaTabelasMensagem(ctx);
        if (!SetaEstruturaPrincipal(ctx)) return false;
        ctx.config.bMsgIso = iso;
        ctx.ident.NomeOperadora = kOperadora;
        ctx.ident.CodigoOperadora = QStringLiteral("00000123");
        ctx.ident.NumeroCartao = kCartao;
        return true;
    }
    QString bancoEmbutido() const {
        return joinPath(ctx.config.PathServer, QLatin1String(hostsim::kBancoEmbutido));
    }

    // F4 and the authorisation screen's opening: the eligibility of the sale and every block
    // of the pre-authorisation, loaded into the grid.
    bool recuperaPre(GradeAutorizacao& grade) {
        ctx.TelaAtual = QStringLiteral("VENDA");
        for (qint16 bloco = 0; bloco < 10; ++bloco) {
            if (!Mensagem_ElegPortador(ctx, bloco) || !Recupera_Pre(ctx, grade, grade.linhas()))
                return false;
            const QString continuacao = GetCampo(ctx, QStringLiteral("900-000"));
            if (continuacao.isEmpty() || continuacao == QLatin1String("0")) return true;
        }
        return false;
    }
};

// F5 to the receipt, once per iteration; the eligibility before and the undo after (which
// makes the pre-authorisation sellable again) are not timed.
void Venda(benchmark::State& state, Terminal& terminal) {
    Context& ctx = terminal.ctx;
    int linhasRecibo = 0;
    for (auto _ : state) {
        state.PauseTiming();
        GradeAutorizacao grade;
        if (!terminal.recuperaPre(grade) || grade.linhas() != kProdutosVenda) {
            state.SkipWithError("the pre-authorisation could not be retrieved");
            break;
        }
        state.ResumeTiming();

        CarregaItemVenda_Grid(ctx, grade);
        const bool aceita = Mensagem_GeracaoPre(ctx, grade, QStringLiteral("123456"));
        linhasRecibo = GetQtdLinha(ctx);
        QStringList recibo;
        for (int i = 0; i < linhasRecibo; ++i) recibo << GetLinhaImpressao(ctx, i);
        benchmark::DoNotOptimize(recibo);

        state.PauseTiming();
        if (!aceita || linhasRecibo == 0) {
            state.SkipWithError("the sale was not approved with a receipt");
            break;
        }
        if (!Mensagem_Anulacao(ctx)) {
            state.SkipWithError("the sale could not be undone");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["receipt_lines"] = linhasRecibo;
    state.counters["products"] = kProdutosVenda;
}

void VendaHostEmbutido(benchmark::State& state) {
    Terminal terminal;
    if (!terminal.prepara(state.range(0) != 0) || !preparaBanco(terminal.bancoEmbutido())) {
        state.SkipWithError("could not prepare the demo store");
        return;
    }
    // As the client runs it: the host in-process, its journals in the server directory.
    IniciaHostLink(terminal.ctx, hostsim::embeddedHostLinkFactory());
    Venda(state, terminal);
}

void VendaHostTcp(benchmark::State& state) {
    Terminal terminal;
    const QString banco = terminal.dir.filePath(QStringLiteral("tcp-host.sqlite"));
    if (!terminal.prepara(state.range(0) != 0) || !preparaBanco(banco)) {
        state.SkipWithError("could not prepare the demo store");
        return;
    }
    hostsim::HostServerThread host(banco, terminal.dir.filePath(QStringLiteral("tcp-journal")));
    if (!host.inicia()) {
        state.SkipWithError("could not start the host");
        return;
    }
    terminal.ctx.hostLink = std::make_unique<NetworkHostLink>(
        HostEndpoint{false, QStringLiteral("127.0.0.1"), host.porta()}, 5000);
    Venda(state, terminal);
}

// Both links measured alike: each message form, ten sales a repetition, five repetitions.
void ComoVenda(benchmark::internal::Benchmark* b) {
    b->ArgName("iso")
        ->Arg(0)
        ->Arg(1)
        ->Iterations(10)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->Unit(benchmark::kMillisecond);
}
BENCHMARK(VendaHostEmbutido)->Apply(ComoVenda);
BENCHMARK(VendaHostTcp)->Apply(ComoVenda);

#ifdef QL_BENCH_UI
// Start-up over an existing demo store: the main window built, MDIForm_Load (settings,
// layouts, operator table, host link) and the first screen up. The host's database exists
// already, as in a store that has run before.
void Inicio(benchmark::State& state) {
    QTemporaryDir dir;
    if (!dir.isValid() || !GeraDadosDemonstracao(dir.path()) ||
        !preparaBanco(joinPath(dir.path(), QLatin1String(hostsim::kBancoEmbutido)))) {
        state.SkipWithError("could not prepare the demo store");
        return;
    }
    bool primeiraTela = false;
    for (auto _ : state) {
        SilentMessageBoxes caixas;
        SystemClock relogio;
        Context ctx(caixas, relogio);
        ctx.programDir = dir.path();
        FormPrincipal::Ganchos g;
        g.configuracaoCarregada = [](FormPrincipal& j) {
            IniciaHostLink(j.contexto(), hostsim::embeddedHostLinkFactory());
        };
        g.abreFormInicial = [](FormPrincipal& j) { AbreFormInicial(j); };
        g.abreFormMensLogon = [](FormPrincipal&) {};  // no logon window in the measurement
        g.encerraPrograma = [] {};
        auto janela = std::make_unique<FormPrincipal>(ctx, std::move(g));
        janela->setCaminhoTrava(dir.filePath(QStringLiteral("quillane-client.lock")));
        if (!janela->MDIForm_Load()) {
            state.SkipWithError("MDIForm_Load failed");
            break;
        }
        janela->Timer1().stop();
        janela->show();
        // Up when the card identification screen is visible; a build without that screen
        // counts until the main window has handled its first events.
        QCoreApplication::processEvents();
        const auto* tela = janela->findChild<QWidget*>(QStringLiteral("FormInicial"));
        QDeadlineTimer prazo(2000);
        while (tela && !tela->isVisible() && !prazo.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        primeiraTela = tela && tela->isVisible();
        state.PauseTiming();
        janela.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["first_screen_found"] = primeiraTela ? 1 : 0;
}
BENCHMARK(Inicio)->Iterations(5)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(
    benchmark::kMillisecond);
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef QL_BENCH_UI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
