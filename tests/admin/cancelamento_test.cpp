#include <gtest/gtest.h>

#include "admin/cancelamento.h"
#include "admin/journal_model.h"
#include "admin/journal_names.h"
#include "admin/journal_writer.h"
#include "support/test_context.h"

namespace ql {
namespace {

using test::TestContext;

// Loads a lot table through the real writer and reader, as the screens get it.
void carrega(TestContext& t, JournalTable tabela, JournalModel& modelo,
             JournalKind tipo = JournalKind::TransacoesLote) {
    if (tabela.columns.isEmpty()) tabela.columns = journalColumns(tipo);
    QString erro;
    ASSERT_TRUE(writeJournal(t.dir.path(), QStringLiteral("TS00000123-000045.S"), tabela, &erro))
        << erro.toStdString();
    ASSERT_TRUE(CarregaGrid(t.ctx, QStringLiteral("TS00000123-000045.S??"), modelo));
}

QStringList totais(Context& ctx, const JournalModel& m) {
    const TotaisLote t = SomaTotais(ctx, m);
    return {t.liquidoVenda, t.reposicao, t.credito, t.debito};
}

TEST(SomaTotais, AddsTheFourAmountColumnsOfEveryRow) {
    struct Caso {
        const char* nome;
        QVector<QStringList> linhas;  // the four amount cells of each row, as text cells
        QStringList esperado;
        bool erro;
    };
    const Caso casos[] = {
        {"two rows",
         {{"10,00", "1,00", "0,10", "0,01"}, {"2,50", "2,00", "0,20", "0,02"}},
         {"12,50", "3,00", "0,30", "0,03"},
         false},
        {"negative amounts and integers",
         {{"-1,50", "7", "0", "100"}, {"0,50", "-7", "0", "0,99"}},
         {"-1,00", "0,00", "0,00", "100,99"},
         false},
        {"many cents do not drift",
         QVector<QStringList>(10, {"0,10", "0,10", "0,10", "0,10"}),
         {"1,00", "1,00", "1,00", "1,00"},
         false},
        // The bad cell stops the adding; what came before it stays added.
        {"bad credit cell in the second row",
         {{"10,00", "1,00", "0,10", "0,01"}, {"2,50", "2,00", "X", "0,02"}},
         {"12,50", "3,00", "0,10", "0,01"},
         true},
        {"empty first cell",
         {{"", "1,00", "1,00", "1,00"}},
         {"0,00", "0,00", "0,00", "0,00"},
         true},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nome);
        TestContext t;
        JournalTable tabela;
        tabela.columns = journalColumns(JournalKind::TransacoesLote);
        for (int c = 9; c < 13; ++c) tabela.columns[c].type = QLatin1Char('A');
        for (const QStringList& v : caso.linhas)
            tabela.rows.push_back({"45", "7", "261205", "6062***0004", "AUT", "BC", "PEND.", "1",
                                   "1", v[0], v[1], v[2], v[3]});
        JournalModel modelo;
        carrega(t, tabela, modelo);
        EXPECT_EQ(totais(t.ctx, modelo), caso.esperado);
        EXPECT_EQ(t.boxes.texts(),
                  caso.erro ? QStringList{"Ocorreu o erro: 13 - Type mismatch"} : QStringList{});
        if (caso.erro) {
            EXPECT_EQ(t.boxes.last().title, QStringLiteral("ATENÇÃOSomaTotais"));
        }
    }
}

TEST(SomaTotais, ReadsAmountCellsInCentsAndTheTitleJoinsThem) {
    TestContext t;
    JournalTable tabela;
    tabela.rows = {
        {"45", "7", "261205", "C", "A", "BC", "P", "", "1", "1000", "99999", "123456789", "-5"},
        {"45", "8", "261205", "C", "A", "BE", "P", "", "1", "250", "1", "1", "5"}};
    JournalModel modelo;
    carrega(t, tabela, modelo);
    EXPECT_EQ(totais(t.ctx, modelo), (QStringList{"12,50", "1000,00", "1234567,90", "0,00"}));

    const RotulosTotais rotulos{" Total Vendas ", "Reposição ", " Crédito", "Débito"};
    EXPECT_EQ(TituloImpressaoLote(rotulos, {"12,50", "3,00", "0,30", "0,03"}),
              QStringLiteral("Total Vendas :        12,50      Reposição :        3,00      "
                             "Débito:        0,30      Crédito :        0,03"));
}

TEST(Selecao, CopiesTheChosenRowIntoTheSelectedTransaction) {
    TestContext t;
    JournalTable tabela;
    tabela.rows = {
        {"3", "000000000057", "261205100000", "6062***0004", "1250", "BC", "PEND.", "57"},
        {"4", "58", "261205100000", "6062***0004", "1250", "CT", "CANC.", "58"}};
    JournalModel modelo;
    carrega(t, tabela, modelo, JournalKind::TransacoesPendentes);
    TransacaoSelecionada& tr = t.ctx.transacao;
    EXPECT_EQ(SelecionaTransacaoPendente(t.ctx, modelo, 1), QStringLiteral("4"));
    EXPECT_EQ(QStringList({tr.NsuTransacao, tr.TipoTransacao, tr.SituacaoTransacao}),
              QStringList({"58", "CT", "CANC."}));
    EXPECT_EQ(SelecionaTransacaoPendente(t.ctx, modelo, 0), QStringLiteral("3"));
    EXPECT_EQ(QStringList({tr.NsuTransacao, tr.TipoTransacao, tr.SituacaoTransacao}),
              QStringList({"57", "BC", "PEND."}));  // numeric cell, no zeros
    // The lot grid sets the NSU and the type, never the status.
    EXPECT_EQ(SelecionaTransacaoLote(t.ctx, modelo, 1), QStringLiteral("4"));
    EXPECT_EQ(QStringList({tr.NsuTransacao, tr.TipoTransacao, tr.SituacaoTransacao}),
              QStringList({"58", "CT", "PEND."}));
    // Rows outside the grid leave the selection alone.
    for (int linha : {-1, 2}) {
        EXPECT_EQ(SelecionaTransacaoPendente(t.ctx, modelo, linha), QString());
        EXPECT_EQ(SelecionaTransacaoLote(t.ctx, modelo, linha), QString());
        EXPECT_EQ(tr.NsuTransacao, QStringLiteral("58"));
    }
}

TEST(Cancelamento, PartialCancellationNsuFieldAndQuantityRules) {
    const std::pair<const char*, bool> tipos[] = {{"BC", true},  {"BE", true},  {"BC01", true},
                                                  {"bc", false}, {"B", false},  {"", false},
                                                  {"CT", false}, {" BC", false}};
    for (const auto& [tipo, permite] : tipos)
        EXPECT_EQ(PermiteCancelamentoParcial(QString::fromLatin1(tipo)), permite) << tipo;

    EXPECT_EQ(ValidaCampoNsu(QStringLiteral("12345"), 6),
              QStringLiteral("O campo NSU deve conter pelo menos 6 caracteres."));
    EXPECT_EQ(ValidaCampoNsu(QStringLiteral("123456"), 6), QString());
    EXPECT_EQ(ValidaCampoNsu(QString(), 0), QString());
    const struct {
        bool numerico;
        int tecla;
        int resultado;
    } teclas[] = {{true, '0', '0'}, {true, '9', '9'}, {true, ',', ','}, {true, 8, 8},
                  {true, 13, 13},   {true, 'A', 0},   {true, '.', 0},   {false, 'A', 'A'}};
    for (const auto& c : teclas)
        EXPECT_EQ(TeclaCampoNsu(c.numerico, c.tecla), c.resultado) << c.numerico << " " << c.tecla;

    const char* quantidades[][3] = {{"3", "3", "S"},   {"1", "3", "S"}, {"4", "3", ""},
                                    {"0", "3", ""},    {"", "3", ""},   {"1", "0", ""},
                                    {"007", "7", "S"}, {"8", "007", ""}};
    for (const auto& c : quantidades)
        EXPECT_EQ(QuantidadeCancelamentoValida(c[0], c[1]), *c[2] != 0) << c[0] << " of " << c[1];
    EXPECT_EQ(QuantidadeProposta(QStringLiteral("0003")), QStringLiteral("3"));
    EXPECT_EQ(QuantidadeProposta(QStringLiteral("abc")), QStringLiteral("0"));
}

TEST(Cancelamento, AuthorisationNumberOnlyForANonZeroNumber) {
    const char* casos[][2] = {{"000000000123", "Número da autorização: 000000000123"},
                              {"000000000000", ""},
                              {"", ""},
                              {"   ", ""},
                              {"ABC", ""}};
    for (const auto& c : casos) {
        TestContext t;
        t.ctx.transacao.NsuTransacao = QString::fromLatin1(c[0]);
        const QString esperado = QString::fromUtf8(c[1]);
        EXPECT_EQ(InformaNumeroAutorizacao(t.ctx), !esperado.isEmpty()) << c[0];
        EXPECT_EQ(t.boxes.texts(), esperado.isEmpty() ? QStringList{} : QStringList{esperado});
        if (!esperado.isEmpty()) {
            EXPECT_EQ(t.boxes.last().title, QStringLiteral("Atenção"));
            EXPECT_EQ(t.boxes.last().icon, MessageBoxes::Icon::Exclamation);
        }
    }
}

}  // namespace
}  // namespace ql
