// The settlement of sales: each answer, the background resend, the start-up recovery.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "data/demo_data_set.h"
#include "host/transacoes.h"
#include "hostsim/embedded_host_link.h"
#include "hostsim/host_store.h"
#include "message/mensagem.h"
#include "sale/grade_autorizacao.h"
#include "sale/recibo.h"
#include "sale/transacoes_produtos.h"
#include "shell/settings.h"
#include "shell/text_files.h"
#include "store/settlement.h"
#include "store/terminal_store.h"
#include "support/scripted_link.h"
#include "support/test_context.h"
#include "support/venda_demo.h"

namespace ql {
namespace {

const QString kNsu = QStringLiteral("000000000777");

VendaRegistrada venda(const QString& nsu, EstadoVenda estado, const QDateTime& quando,
                      const QString& tipoMensagem = QStringLiteral("0202")) {
    VendaRegistrada v;
    v.nsu = nsu;
    v.rota = QStringLiteral("QUILLANE SAUDE");
    v.cartaoMascarado = MascaraCartao(QStringLiteral("6062820000000004"));
    v.totalVendaCentavos = 1234;
    v.recibo = {QStringLiteral("COMPROVANTE"), QString()};
    v.aprovadaEm = v.atualizadaEm = quando;
    v.estado = estado;
    v.tipoMensagem = tipoMensagem;
    v.codigoProcessamento = QStringLiteral("800300");
    return v;
}

// The screen's operadora is the fixture's ROUTEXY; the sales are QUILLANE SAUDE's.
struct Terminal : test::ComLinkRoteirizado {
    TerminalStore* store = nullptr;
    Terminal() {
        CarregaTabelasMensagem(ctx);
        store = ArmazemTerminal(ctx);
    }
    EstadoVenda estado(const QString& nsu) const { return store->venda(nsu).value().estado; }
};

TEST(Liquidacao, EachAnswerMovesTheSaleAndAFailureIsSentAgainUnchanged) {
    using E = EstadoVenda;
    const struct {
        const char* nome;
        bool confirma;  // F5 on the receipt, else F12
        qint32 falha;   // a link failure, or 0 for the answer below
        const char* resposta;
        EstadoVenda depois;
        const char* caixa;  // the message shown ("" for none)
    } casos[] = {
        {"confirmation accepted", true, 0, "000-000=0212;009-000=00;", E::Confirmada, ""},
        {"confirmation refused", true, 0, "000-000=0212;009-000=61;030-000=TRANSACAO JA DESFEITA;",
         E::Recusada, "TRANSACAO JA DESFEITA"},
        {"confirmation, host down", true, -164, "", E::ConfirmacaoPendente,
         "164- Servidor fora do Ar."},
        {"confirmation, system error", true, 0, "000-000=0212;009-000=200;", E::ConfirmacaoPendente,
         "Erro :  200 - Contatar o suporte OPER0001 ."},
        {"undo accepted", false, 0, "000-000=0430;009-000=00;", E::Desfeita, ""},
        {"undo refused", false, 0, "000-000=0430;009-000=62;", E::Recusada, ""},
        {"undo, time-out", false, -165, "", E::DesfazimentoPendente, ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nome);
        Terminal term;
        Context& ctx = term.ctx;
        ASSERT_TRUE(term.store->registra(venda(kNsu, EstadoVenda::Autorizada, term.t.clock.now())));
        ctx.TelaAtual = QStringLiteral("VENDA");
        ctx.transacao.NsuTransacao = kNsu;
        c.falha ? term.link.fail(c.falha) : term.link.answer(QString::fromLatin1(c.resposta));
        c.confirma ? Mensagem_Confirmacao(ctx) : Mensagem_Anulacao(ctx);
        EXPECT_EQ(NomeEstado(term.estado(kNsu)), NomeEstado(c.depois));
        EXPECT_EQ(term.t.boxes.texts().join(" | "), QString::fromUtf8(c.caixa));

        // The background pass resends only a pending sale, silently, by the sale's own route;
        // the screen's message and route are left as they were.
        const bool pendente = !EstadoLiquidado(c.depois);
        term.t.boxes.clear();
        term.link.answer(c.confirma ? QStringLiteral("000-000=0212;009-000=00;")
                                    : QStringLiteral("000-000=0430;009-000=00;"));
        const QString bufferAntes = ctx.bufferMensagem;
        const std::size_t enviadas = term.link.sent().size();
        EXPECT_EQ(LiquidaPendentes(ctx), pendente ? 1 : 0);
        ASSERT_EQ(term.link.sent().size(), enviadas + (pendente ? 1 : 0));
        EXPECT_TRUE(term.t.boxes.empty());
        EXPECT_EQ(ctx.bufferMensagem, bufferAntes);
        EXPECT_EQ(ctx.ident.NomeOperadora, QStringLiteral("ROUTEXY"));
        if (!pendente) continue;
        EXPECT_EQ(term.link.sent().back().route, QStringLiteral("QUILLANE SAUDE"));
        EXPECT_TRUE(term.link.bodies().back().startsWith(
            QStringLiteral("000-000=%1;011-000=800300;").arg(c.confirma ? "0202" : "0420")));
        EXPECT_TRUE(term.link.bodies().back().contains(QStringLiteral("012-000=") + kNsu));
        EXPECT_EQ(term.estado(kNsu), c.confirma ? EstadoVenda::Confirmada : EstadoVenda::Desfeita);
    }
}

// A sale of 13 products goes in two pages: the first page's approval does not make it
// authorised, so a second page without an answer leaves it sent (to be undone).
TEST(Liquidacao, OnlyTheLastPageAuthorisesTheSale) {
    Terminal term;
    Context& ctx = term.ctx;
    ctx.TelaAtual = QStringLiteral("VENDA");
    ctx.transacao.NsuTransacao = kNsu;
    ItemVenda item;
    item.codigo = QStringLiteral("7891000000001");
    item.quantidade = QStringLiteral("1");
    item.valorBruto = item.valorLiquido = QStringLiteral("1,00");
    ctx.itensVenda.itens = QVector<ItemVenda>(13, item);
    ctx.itensVenda.count = 13;
    GradeAutorizacao grade;
    term.link.answer(QStringLiteral("000-000=0210;009-000=00;"));
    term.link.fail(-165);
    EXPECT_FALSE(Mensagem_GeracaoPre(ctx, grade, QStringLiteral("4711")));
    ASSERT_EQ(term.link.sent().size(), 2u);
    EXPECT_EQ(term.estado(kNsu), EstadoVenda::Enviada);
}

TEST(Liquidacao, StartUpUndoesTheSentAndTheOpenSaleResumesThePendingAndForgetsTheOld) {
    Terminal term;
    Context& ctx = term.ctx;
    const QDateTime agora = term.t.clock.now();
    const QString enviada = QStringLiteral("000000000100");
    const QString aberta = QStringLiteral("000000000101");
    const QString pendente = QStringLiteral("000000000102");
    const QString antiga = QStringLiteral("000000000103");
    const QString recente = QStringLiteral("000000000105");  // settled, kept for 90 days
    ASSERT_TRUE(term.store->registra(
        venda(enviada, EstadoVenda::Enviada, agora.addSecs(-1), QStringLiteral("0420"))));
    ASSERT_TRUE(term.store->registra(venda(aberta, EstadoVenda::Autorizada, agora)));
    ASSERT_TRUE(term.store->registra(venda(pendente, EstadoVenda::ConfirmacaoPendente, agora)));
    ASSERT_TRUE(term.store->registra(venda(antiga, EstadoVenda::Confirmada, agora.addDays(-91))));
    ASSERT_TRUE(term.store->registra(venda(recente, EstadoVenda::Desfeita, agora.addDays(-89))));

    // Nothing goes out while an exchange, card read or lookup runs, nor during a sale; a sale's
    // eligibility sends only itself.
    for (int caso = 0; caso < 3; ++caso) {
        SCOPED_TRACE(caso);
        std::optional<EsperaEmPrimeiroPlano> espera;
        if (caso == 0) espera.emplace(ctx);
        ctx.vendaEmAndamento = caso == 1;
        if (caso == 2) {
            ctx.TelaAtual = QStringLiteral("PREVENDA");
            term.link.answer(QStringLiteral("000-000=0110;009-000=00;012-000=000000000104;"));
            ASSERT_TRUE(Mensagem_ElegPortador(ctx, 0));
            ctx.vendaEmAndamento = true;  // the authorisation screen opens
        }
        EXPECT_EQ(LiquidaPendentes(ctx), 0);
        EXPECT_EQ(term.link.sent().size(), caso == 2 ? 1u : 0u);
    }
    ctx.vendaEmAndamento = false;

    term.link.answer(QStringLiteral("000-000=0430;009-000=00;"));
    term.link.answer(QStringLiteral("000-000=0430;009-000=00;"));
    term.link.answer(QStringLiteral("000-000=0212;009-000=00;"));
    RecuperaVendas(ctx);
    ASSERT_EQ(term.link.sent().size(), 4u);
    EXPECT_EQ(term.link.bodies()[1].left(13) + term.link.bodies()[2].left(13) +
                  term.link.bodies()[3].left(13),
              "000-000=0420;000-000=0420;000-000=0202;");
    EXPECT_EQ(term.estado(enviada), EstadoVenda::Desfeita);
    EXPECT_EQ(term.estado(aberta), EstadoVenda::Desfeita);
    EXPECT_EQ(term.estado(pendente), EstadoVenda::Confirmada);
    EXPECT_FALSE(term.store->venda(antiga).has_value());
    EXPECT_EQ(term.estado(recente), EstadoVenda::Desfeita);
    EXPECT_EQ(term.t.boxes.texts(),
              QStringList{"A venda NSU 000000000100, no valor de R$ 12,34, não foi confirmada "
                          "antes de o programa ser encerrado e foi desfeita.\n"
                          "A venda NSU 000000000101, no valor de R$ 12,34, não foi confirmada "
                          "antes de o programa ser encerrado e foi desfeita."});
    EXPECT_EQ(term.t.boxes.last().icon, MessageBoxes::Icon::Exclamation);
}

// The in-process host behind a switch (down: a refused connection); counts confirmations.
class LinkInterrompido final : public HostLink {
  public:
    explicit LinkInterrompido(std::unique_ptr<HostLink> link) : link_(std::move(link)) {}
    qint32 Process(QString& frame, QString& route, const QString& mode) override {
        if (fora) return kServidorForaDoAr;
        if (frame.contains(QLatin1String("000-000=0202;"))) ++confirmacoes;
        if (frame.contains(QLatin1String("000-000=0200;")) && antesDaVenda) antesDaVenda();
        const qint32 r = link_->Process(frame, route, mode);
        // The host did its part, but its answer never reached the terminal.
        return perdeResposta ? kTimedOut : r;
    }
    qint32 GetPreco(QString& c1, QString& c2, QString& d, QString& a1, QString& a2,
                    QString& s) override {
        return fora ? kServidorForaDoAr : link_->GetPreco(c1, c2, d, a1, a2, s);
    }
    bool fora = false;
    bool perdeResposta = false;
    int confirmacoes = 0;
    std::function<void()> antesDaVenda;

  private:
    std::unique_ptr<HostLink> link_;
};

// Card 4's stored pre-authorisation brought to the point of its sale (F4) over the embedded
// host, behind a link that can fail on demand.
struct VendaDoCartao4 {
    test::TestContext t;
    Context& ctx = t.ctx;
    LinkInterrompido* link = nullptr;
    GradeAutorizacao grade;

    void prepara() {
        ASSERT_TRUE(GeraDadosDemonstracao(t.dir.path()));
        CarregaTabelasMensagem(ctx);
        ASSERT_TRUE(SetaEstruturaPrincipal(ctx));
        auto l = std::make_unique<LinkInterrompido>(hostsim::embeddedHostLinkFactory()(ctx));
        link = l.get();
        ctx.hostLink = std::move(l);
        LigaArmazemTerminal(ctx);
        ASSERT_TRUE(test::CarregaPreAutorizacao0004(ctx, grade));
    }
    QString situacaoNoHost(const QString& nsu) {
        hostsim::HostStore host(
            joinPath(ctx.config.PathServer, QLatin1String(hostsim::kBancoEmbutido)));
        EXPECT_TRUE(host.abre(t.clock.now(), nullptr));
        return host.transacao(nsu.toLongLong())->situacao;
    }
};

TEST(Liquidacao, HostDownAtF5UpAMinuteLaterGetsTheConfirmationOnce) {
    VendaDoCartao4 v;
    ASSERT_NO_FATAL_FAILURE(v.prepara());
    Context& ctx = v.ctx;
    test::TestContext& t = v.t;
    LinkInterrompido& link = *v.link;
    GradeAutorizacao& grade = v.grade;

    // F4 and F5: on disk as sent before the request leaves, then as authorised.
    link.antesDaVenda = [&] {
        TerminalStore* s = ArmazemTerminal(ctx, false);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(NomeEstado(s->venda(ctx.transacao.NsuTransacao).value().estado), "sent");
    };
    ASSERT_TRUE(Mensagem_GeracaoPre(ctx, grade, QStringLiteral("4711")));
    const QString nsu = ctx.transacao.NsuTransacao;
    TerminalStore* store = ArmazemTerminal(ctx, false);
    ASSERT_NE(store, nullptr);
    const VendaRegistrada registrada = store->venda(nsu).value();
    EXPECT_EQ(registrada.estado, EstadoVenda::Autorizada);
    EXPECT_EQ(registrada.recibo, PreencheImpressao(ctx));

    link.fora = true;
    EXPECT_FALSE(Mensagem_Confirmacao(ctx));
    t.clock.advanceSecs(60);
    EXPECT_EQ(LiquidaPendentes(ctx), 0);
    EXPECT_EQ(store->venda(nsu)->estado, EstadoVenda::ConfirmacaoPendente);

    link.fora = false;
    for (int minuto = 0; minuto < 3; ++minuto) {
        t.clock.advanceSecs(60);
        LiquidaPendentes(ctx);
    }
    EXPECT_EQ(link.confirmacoes, 1);
    EXPECT_EQ(store->venda(nsu)->estado, EstadoVenda::Confirmada);
    EXPECT_EQ(v.situacaoNoHost(nsu), QStringLiteral("CONFIRMADA"));
    EXPECT_EQ(t.boxes.shown().size(), 1u);
}

// The sale's answer was lost and F5 tried again: the host's refusal of the second attempt
// (the sale is already authorised) proves nothing, so the sale stays to be undone.
TEST(Liquidacao, ARefusalAfterALostAnswerLeavesTheSaleToBeUndone) {
    VendaDoCartao4 v;
    ASSERT_NO_FATAL_FAILURE(v.prepara());
    v.link->perdeResposta = true;
    EXPECT_FALSE(Mensagem_GeracaoPre(v.ctx, v.grade, QStringLiteral("4711")));
    v.link->perdeResposta = false;
    EXPECT_FALSE(Mensagem_GeracaoPre(v.ctx, v.grade, QStringLiteral("4711")));
    const QString nsu = v.ctx.transacao.NsuTransacao;
    TerminalStore* store = ArmazemTerminal(v.ctx, false);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->venda(nsu)->estado, EstadoVenda::Enviada);
    EXPECT_EQ(LiquidaPendentes(v.ctx), 1);
    EXPECT_EQ(store->venda(nsu)->estado, EstadoVenda::Desfeita);
    EXPECT_EQ(v.situacaoNoHost(nsu), QStringLiteral("DESFEITA"));
}

}  // namespace
}  // namespace ql
