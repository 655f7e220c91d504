#include <gtest/gtest.h>

#include "admin/journal_model.h"
#include "admin/journal_names.h"
#include "admin/journal_writer.h"
#include "admin/resumos.h"
#include "support/test_context.h"

namespace ql {
namespace {

TEST(Resumos, ProductModeReturnScreenAndKeyValues) {
    // Only the exact lot name selects the lot; anything else is the transaction.
    EXPECT_EQ(ModoProdutos("PRODUTOSDOLOTE"), ModoResumoProdutos::Lote);
    EXPECT_EQ(ModoProdutos("produtosdolote"), ModoResumoProdutos::Transacao);
    EXPECT_EQ(TelaDeOrigemProdutos(ModoResumoProdutos::Lote), QLatin1String("RESUMOVENDA"));
    EXPECT_EQ(TelaDeOrigemProdutos(ModoResumoProdutos::Transacao),
              QLatin1String("TRANSACOESDOLOTE"));
    const std::pair<const char*, qint64> chaves[] = {
        {"  000045 ", 45},
        {"12abc", 12},
        {"", 0},
        {"-5", 0},
        {"999999999999", 999999999999},
        {"99999999999999999999999", 0}};  // too long for any key
    for (const auto& [texto, valor] : chaves) EXPECT_EQ(ValorChave(texto), valor) << texto;
}

TEST(Resumos, PatternsByEstablishmentTypeOperadoraAndKey) {
    test::TestContext t;
    t.ctx.transacao.NsuTransacao = QStringLiteral("1234");
    // type, operadora, lot; then sales, financial, lot products, transaction products.
    const char* casos[][7] = {
        {"1", "00000123", "45", "SS00000123.S??", "FS00000123.S??", "PS00000123-000045.S??",
         "PT00000123-000000001234.S??"},
        {"2", " 00000456 ", "7", "SR00000456.S??", "FR00000456.S??", "PR00000456-000007.S??",
         "DR00000456-000000001234.S??"},
        {"3", "00000789", " 000312", "SD00000789.S??", "FD00000789.S??", "PD00000789-000312.S??",
         "DD00000789-000000001234.S??"},
        // A lot that is not a number reads as 0, as the journal's writer names it.
        {"1", "00000123", "ABC", "SS00000123.S??", "FS00000123.S??", "PS00000123-000000.S??",
         "PT00000123-000000001234.S??"},
        // No such establishment type: nothing to look for.
        {"0", "00000123", "45", "", "", "", ""},
        {"4", "00000123", "45", "", "", "", ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c[0]);
        t.ctx.TipoEstab = qint16(QByteArray(c[0]).toInt());
        t.ctx.ident.CodigoOperadora = QString::fromLatin1(c[1]);
        EXPECT_EQ(QStringList({PadraoResumoVendas(t.ctx), PadraoResumoFinanceiro(t.ctx),
                               PadraoResumoProdutos(t.ctx, ModoResumoProdutos::Lote, c[2]),
                               PadraoResumoProdutos(t.ctx, ModoResumoProdutos::Transacao, c[2])}),
                  QStringList({c[3], c[4], c[5], c[6]}));
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
    JournalTable tabela;
    tabela.columns = journalColumns(JournalKind::ProdutosTransacao);
    for (const char* codigo : {"7891000000017", "7891000000024", "7891000000031"})
        tabela.rows.push_back({"1", "1234", "261205", "1", codigo, "EMS", "10", "DIPIRONA", "CX 10",
                               "2", "2", "1250", "990"});
    ASSERT_TRUE(writeJournal(t.dir.path(), QStringLiteral("PT00000123-000000001234.S"), tabela));
    JournalModel grade;
    ASSERT_TRUE(CarregaGrid(t.ctx, QStringLiteral("PT00000123-000000001234.S??"), grade));
    const struct {
        QList<int> linhas;
        bool abre;
        int itens;
    } casos[] = {{{1}, true, 1}, {{0, 2}, false, 2}, {{}, false, 0}, {{7}, false, 0}};
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
    EXPECT_EQ(t.boxes.texts(), QStringList{"Ocorreu o erro: Não existem itens para cancelar."});
}

}  // namespace
}  // namespace ql
