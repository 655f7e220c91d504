#include <gtest/gtest.h>

#include "admin/journal_model.h"
#include "admin/journal_names.h"
#include "admin/journal_writer.h"
#include "admin/resumos.h"
#include "support/test_context.h"

namespace ql {
namespace {

// A product journal of the transaction kind with the given rows of (code, description,
// packaging, quantity), loaded into a model.
bool carregaProdutos(test::TestContext& t, JournalModel& grade,
                     const QVector<QStringList>& produtos) {
    JournalTable tabela;
    tabela.title = QStringLiteral("Produtos da transação 1234");
    tabela.columns = journalColumns(JournalKind::ProdutosTransacao);
    for (const QStringList& p : produtos) {
        tabela.rows.push_back({QStringLiteral("1"), QStringLiteral("1234"),
                               QStringLiteral("261205"), QStringLiteral("1"), p[0],
                               QStringLiteral("EMS"), QStringLiteral("10"), p[1], p[2], p[3], p[3],
                               QStringLiteral("1250"), QStringLiteral("990")});
    }
    const QString base =
        journalBaseName(JournalKind::ProdutosTransacao, 1, t.ctx.ident.CodigoOperadora, 1234);
    QString erro;
    if (!writeJournal(t.dir.path(), base, tabela, &erro)) {
        ADD_FAILURE() << erro.toStdString();
        return false;
    }
    return CarregaGrid(t.ctx, base + QStringLiteral("??"), grade);
}

TEST(Resumos, ModeOfTheProductSummaryAndWhereItReturns) {
    const struct {
        const char* telaAtual;
        ModoResumoProdutos modo;
        const char* origem;
    } casos[] = {
        {"PRODUTOSDOLOTE", ModoResumoProdutos::Lote, "RESUMOVENDA"},
        {"PRODUTOSDATRANSACAO", ModoResumoProdutos::Transacao, "TRANSACOESDOLOTE"},
        // Only the exact lot name selects the lot; anything else is the transaction.
        {"produtosdolote", ModoResumoProdutos::Transacao, "TRANSACOESDOLOTE"},
        {"", ModoResumoProdutos::Transacao, "TRANSACOESDOLOTE"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.telaAtual);
        const ModoResumoProdutos modo = ModoProdutos(QString::fromLatin1(c.telaAtual));
        EXPECT_EQ(modo, c.modo);
        EXPECT_EQ(TelaDeOrigemProdutos(modo), QLatin1String(c.origem));
    }
}

TEST(Resumos, PatternsByEstablishmentTypeOperadoraAndKey) {
    test::TestContext t;
    t.ctx.transacao.NsuTransacao = QStringLiteral("1234");
    const struct {
        int tipo;
        const char* codigo;
        const char* lote;
        const char* vendas;
        const char* financeiro;
        const char* produtosLote;
        const char* produtosTransacao;
    } casos[] = {
        {1, "00000123", "45", "SS00000123.S??", "FS00000123.S??", "PS00000123-000045.S??",
         "PT00000123-000000001234.S??"},
        {2, " 00000456 ", "7", "SR00000456.S??", "FR00000456.S??", "PR00000456-000007.S??",
         "DR00000456-000000001234.S??"},
        {3, "00000789", " 000312", "SD00000789.S??", "FD00000789.S??", "PD00000789-000312.S??",
         "DD00000789-000000001234.S??"},
        // A lot that is not a number reads as 0, as the journal's writer names it.
        {1, "00000123", "ABC", "SS00000123.S??", "FS00000123.S??", "PS00000123-000000.S??",
         "PT00000123-000000001234.S??"},
        // No such establishment type: nothing to look for.
        {0, "00000123", "45", "", "", "", ""},
        {4, "00000123", "45", "", "", "", ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.tipo);
        t.ctx.TipoEstab = qint16(c.tipo);
        t.ctx.ident.CodigoOperadora = QString::fromLatin1(c.codigo);
        const QString lote = QString::fromLatin1(c.lote);
        EXPECT_EQ(PadraoResumoVendas(t.ctx), QLatin1String(c.vendas));
        EXPECT_EQ(PadraoResumoFinanceiro(t.ctx), QLatin1String(c.financeiro));
        EXPECT_EQ(PadraoResumoProdutos(t.ctx, ModoResumoProdutos::Lote, lote),
                  QLatin1String(c.produtosLote));
        EXPECT_EQ(PadraoResumoProdutos(t.ctx, ModoResumoProdutos::Transacao, lote),
                  QLatin1String(c.produtosTransacao));
    }
}

TEST(Resumos, KeyValues) {
    const struct {
        const char* texto;
        qint64 valor;
    } casos[] = {
        {"45", 45},
        {"  000045 ", 45},
        {"12abc", 12},
        {"", 0},
        {"-5", 0},
        {"999999999999", 999999999999},
        {"99999999999999999999999", 0},  // too long for any key
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.texto);
        EXPECT_EQ(ValorChave(QString::fromLatin1(c.texto)), c.valor);
    }
}

TEST(Resumos, LotOfTheActiveRowAndEmptyGrid) {
    test::TestContext t;
    JournalTable tabela;
    tabela.title = QStringLiteral("Lotes");
    tabela.columns = journalColumns(JournalKind::ResumoVendas);
    tabela.rows = {{QStringLiteral("000045")}, {QStringLiteral("46")}};
    ASSERT_TRUE(writeJournal(t.dir.path(), QStringLiteral("SS00000123.S"), tabela));
    JournalModel grade;
    ASSERT_TRUE(CarregaGrid(t.ctx, QStringLiteral("SS00000123.S??"), grade));

    t.ctx.LoteSelecionado = QStringLiteral("9");
    EXPECT_TRUE(CarregaDadosLote(t.ctx, grade, 1));
    EXPECT_EQ(t.ctx.LoteSelecionado, QStringLiteral("46"));
    EXPECT_TRUE(CarregaDadosLote(t.ctx, grade, 0));
    EXPECT_EQ(t.ctx.LoteSelecionado, QStringLiteral("45"));  // shown without its zeros
    // A row outside the grid, or no rows at all, leaves the lot chosen before.
    EXPECT_FALSE(CarregaDadosLote(t.ctx, grade, 2));
    EXPECT_FALSE(CarregaDadosLote(t.ctx, grade, -1));
    grade.clear();
    EXPECT_FALSE(CarregaDadosLote(t.ctx, grade, 0));
    EXPECT_EQ(t.ctx.LoteSelecionado, QStringLiteral("45"));
}

TEST(Resumos, ItemCancellationOpensOnlyForOneSelectedRow) {
    test::TestContext t;
    t.ctx.ident.CodigoOperadora = QStringLiteral("00000123");
    JournalModel grade;
    ASSERT_TRUE(carregaProdutos(t, grade,
                                {{"7891000000017", "DIPIRONA 500MG", "CX 10", "2"},
                                 {"7891000000024", "AMOXICILINA", "FR 60ML", "1"},
                                 {"7891000000031", "LOSARTANA", "CX 30", "3"}}));
    const struct {
        QList<int> linhas;
        bool abre;
        int itens;
    } casos[] = {
        {{1}, true, 1},        {{0, 2}, false, 2}, {{}, false, 0},
        {{0, 1, 2}, false, 3}, {{7}, false, 0},  // a row the grid does not have copies nothing
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.linhas.size());
        EXPECT_EQ(SelecionaItemCancelamento(t.ctx, grade, c.linhas), c.abre);
        EXPECT_EQ(t.ctx.itensVenda.count, c.itens);
    }
    EXPECT_TRUE(t.boxes.empty());

    // An empty grid is reported through the error routine and hands nothing over.
    grade.clear();
    EXPECT_FALSE(SelecionaItemCancelamento(t.ctx, grade, {0}));
    EXPECT_EQ(t.ctx.itensVenda.count, 0);
    ASSERT_EQ(t.boxes.shown().size(), 1u);
    EXPECT_EQ(t.boxes.last().text,
              QStringLiteral("Ocorreu o erro: Não existem itens para cancelar."));
}

}  // namespace
}  // namespace ql
