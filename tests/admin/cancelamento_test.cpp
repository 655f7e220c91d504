#include <gtest/gtest.h>

#include "admin/cancelamento.h"
#include "admin/journal_model.h"
#include "admin/journal_names.h"
#include "admin/journal_writer.h"
#include "support/test_context.h"

namespace ql {
namespace {

using test::TestContext;
using Icon = MessageBoxes::Icon;

// Loads a journal table through the real writer and reader, as the screens get it.
void carrega(TestContext& t, const JournalTable& tabela, JournalModel& modelo) {
    QString erro;
    ASSERT_TRUE(writeJournal(t.dir.path(), QStringLiteral("TS00000123-000045.S"), tabela, &erro))
        << erro.toStdString();
    ASSERT_TRUE(CarregaGrid(t.ctx, QStringLiteral("TS00000123-000045.S??"), modelo));
}

// A lot table whose four amount columns hold the given texts as they are (text cells), so
// that a test can put anything there.
JournalTable loteComValores(const QVector<QStringList>& valores) {
    JournalTable tabela;
    tabela.title = QStringLiteral("Lote 000045");
    tabela.columns = journalColumns(JournalKind::TransacoesLote);
    for (int c = 9; c < 13; ++c) tabela.columns[c].type = QLatin1Char('A');
    for (const QStringList& v : valores) {
        tabela.rows.push_back({QStringLiteral("45"), QStringLiteral("7"), QStringLiteral("261205"),
                               QStringLiteral("6062***0004"), QStringLiteral("AUT"),
                               QStringLiteral("BC"), QStringLiteral("PEND."), QStringLiteral("1"),
                               QStringLiteral("1"), v.value(0), v.value(1), v.value(2),
                               v.value(3)});
    }
    return tabela;
}

TEST(SomaTotais, AddsTheFourAmountColumnsOfEveryRow) {
    struct Caso {
        const char* nome;
        QVector<QStringList> linhas;
        TotaisLote esperado;
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
        JournalModel modelo;
        carrega(t, loteComValores(caso.linhas), modelo);
        t.boxes.clear();
        const TotaisLote totais = SomaTotais(t.ctx, modelo);
        EXPECT_EQ(totais.liquidoVenda, caso.esperado.liquidoVenda);
        EXPECT_EQ(totais.reposicao, caso.esperado.reposicao);
        EXPECT_EQ(totais.credito, caso.esperado.credito);
        EXPECT_EQ(totais.debito, caso.esperado.debito);
        if (caso.erro) {
            ASSERT_EQ(t.boxes.shown().size(), 1u);
            EXPECT_EQ(t.boxes.last().text, QStringLiteral("Ocorreu o erro: 13 - Type mismatch"));
            EXPECT_EQ(t.boxes.last().title, QStringLiteral("ATENÇÃOSomaTotais"));
        } else {
            EXPECT_TRUE(t.boxes.empty()) << t.boxes.texts().join(" | ").toStdString();
        }
    }
}

TEST(SomaTotais, ReadsAmountCellsInCents) {
    TestContext t;
    JournalTable tabela;
    tabela.columns = journalColumns(JournalKind::TransacoesLote);
    tabela.rows.push_back(
        {"45", "7", "261205", "C", "A", "BC", "P", "", "1", "1000", "99999", "123456789", "-5"});
    tabela.rows.push_back(
        {"45", "8", "261205", "C", "A", "BE", "P", "", "1", "250", "1", "1", "5"});
    JournalModel modelo;
    carrega(t, tabela, modelo);
    const TotaisLote totais = SomaTotais(t.ctx, modelo);
    EXPECT_EQ(totais.liquidoVenda, QStringLiteral("12,50"));
    EXPECT_EQ(totais.reposicao, QStringLiteral("1000,00"));
    EXPECT_EQ(totais.credito, QStringLiteral("1234567,90"));
    EXPECT_EQ(totais.debito, QStringLiteral("0,00"));
}

TEST(TituloImpressaoLote, JoinsCaptionsAndTotalsInThePrintedOrder) {
    const RotulosTotais rotulos{QStringLiteral(" Total Vendas "), QStringLiteral("Reposição "),
                                QStringLiteral(" Crédito"), QStringLiteral("Débito")};
    const TotaisLote totais{QStringLiteral("12,50"), QStringLiteral("3,00"), QStringLiteral("0,30"),
                            QStringLiteral("0,03")};
    EXPECT_EQ(TituloImpressaoLote(rotulos, totais),
              QStringLiteral("Total Vendas :        12,50      Reposição :        3,00      "
                             "Débito:        0,30      Crédito :        0,03"));
}

TEST(Selecao, CopiesTheChosenRowIntoTheSelectedTransaction) {
    TestContext t;
    JournalTable tabela;
    tabela.columns = journalColumns(JournalKind::TransacoesPendentes);
    tabela.rows.push_back(
        {"3", "000000000057", "261205100000", "6062***0004", "1250", "BC", "PEND.", "57"});
    tabela.rows.push_back({"4", "58", "261205100000", "6062***0004", "1250", "CT", "CANC.", "58"});
    JournalModel modelo;
    carrega(t, tabela, modelo);

    EXPECT_EQ(SelecionaTransacaoPendente(t.ctx, modelo, 1), QStringLiteral("4"));
    EXPECT_EQ(t.ctx.transacao.NsuTransacao, QStringLiteral("58"));
    EXPECT_EQ(t.ctx.transacao.TipoTransacao, QStringLiteral("CT"));
    EXPECT_EQ(t.ctx.transacao.SituacaoTransacao, QStringLiteral("CANC."));

    EXPECT_EQ(SelecionaTransacaoPendente(t.ctx, modelo, 0), QStringLiteral("3"));
    EXPECT_EQ(t.ctx.transacao.NsuTransacao, QStringLiteral("57"));  // numeric cell, no zeros
    EXPECT_EQ(t.ctx.transacao.SituacaoTransacao, QStringLiteral("PEND."));

    // The lot grid sets the NSU and the type, never the status.
    t.ctx.transacao.SituacaoTransacao = QStringLiteral("X");
    EXPECT_EQ(SelecionaTransacaoLote(t.ctx, modelo, 1), QStringLiteral("4"));
    EXPECT_EQ(t.ctx.transacao.NsuTransacao, QStringLiteral("58"));
    EXPECT_EQ(t.ctx.transacao.TipoTransacao, QStringLiteral("CT"));
    EXPECT_EQ(t.ctx.transacao.SituacaoTransacao, QStringLiteral("X"));

    // Rows outside the grid leave the selection alone.
    for (int linha : {-1, 2, 99}) {
        EXPECT_EQ(SelecionaTransacaoPendente(t.ctx, modelo, linha), QString());
        EXPECT_EQ(SelecionaTransacaoLote(t.ctx, modelo, linha), QString());
        EXPECT_EQ(t.ctx.transacao.NsuTransacao, QStringLiteral("58"));
    }
}

TEST(Cancelamento, PartialCancellationOnlyForBcAndBe) {
    const struct {
        const char* tipo;
        bool permite;
    } casos[] = {{"BC", true}, {"BE", true}, {"BC01", true}, {"BEX", true},  {"bc", false},
                 {"B", false}, {"", false},  {"CT", false},  {" BC", false}, {"XX", false}};
    for (const auto& caso : casos) {
        EXPECT_EQ(PermiteCancelamentoParcial(QString::fromLatin1(caso.tipo)), caso.permite)
            << caso.tipo;
    }
}

TEST(Cancelamento, NsuFieldLengthAndKeys) {
    EXPECT_EQ(ValidaCampoNsu(QStringLiteral("12345"), 6),
              QStringLiteral("O campo NSU deve conter pelo menos 6 caracteres."));
    EXPECT_EQ(ValidaCampoNsu(QStringLiteral("123456"), 6), QString());
    EXPECT_EQ(ValidaCampoNsu(QString(), 0), QString());
    EXPECT_EQ(ValidaCampoNsu(QString(), 1),
              QStringLiteral("O campo NSU deve conter pelo menos 1 caracteres."));

    const struct {
        bool numerico;
        int tecla;
        int resultado;
    } teclasCasos[] = {
        {true, '0', '0'}, {true, '9', '9'},  {true, ',', ','},  {true, 8, 8},
        {true, 13, 13},   {true, 'A', 0},    {true, '.', 0},    {true, ' ', 0},
        {true, '-', 0},   {false, 'A', 'A'}, {false, '.', '.'}, {false, '5', '5'},
    };
    for (const auto& c : teclasCasos) {
        EXPECT_EQ(TeclaCampoNsu(c.numerico, c.tecla), c.resultado) << c.numerico << " " << c.tecla;
    }
}

TEST(Cancelamento, ItemQuantityMustBeAboveZeroAndWithinTheItem) {
    const struct {
        const char* digitada;
        const char* item;
        bool valida;
    } casos[] = {
        {"3", "3", true},    {"1", "3", true},      {"4", "3", false}, {"0", "3", false},
        {"", "3", false},    {"1", "0", false},     {"1", "", false},  {"007", "7", true},
        {"8", "007", false}, {"99999", "3", false},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(QuantidadeCancelamentoValida(QString::fromLatin1(c.digitada),
                                               QString::fromLatin1(c.item)),
                  c.valida)
            << c.digitada << " of " << c.item;
    }
    EXPECT_EQ(QuantidadeProposta(QStringLiteral("0003")), QStringLiteral("3"));
    EXPECT_EQ(QuantidadeProposta(QString()), QStringLiteral("0"));
    EXPECT_EQ(QuantidadeProposta(QStringLiteral("abc")), QStringLiteral("0"));
}

TEST(Cancelamento, AuthorisationNumberOnlyForANonZeroNumber) {
    const struct {
        const char* nsu;
        const char* texto;
    } casos[] = {
        {"000000000123", "Número da autorização: 000000000123"},
        {"123", "Número da autorização: 123"},
        {"000000000000", ""},
        {"0", ""},
        {"", ""},
        {"   ", ""},
        {"ABC", ""},
    };
    for (const auto& c : casos) {
        TestContext t;
        t.ctx.transacao.NsuTransacao = QString::fromLatin1(c.nsu);
        const QString esperado = QString::fromUtf8(c.texto);
        EXPECT_EQ(TextoNumeroAutorizacao(t.ctx.transacao.NsuTransacao), esperado) << c.nsu;
        EXPECT_EQ(InformaNumeroAutorizacao(t.ctx), !esperado.isEmpty()) << c.nsu;
        if (esperado.isEmpty()) {
            EXPECT_TRUE(t.boxes.empty());
        } else {
            ASSERT_EQ(t.boxes.shown().size(), 1u);
            EXPECT_EQ(t.boxes.last().text, esperado);
            EXPECT_EQ(t.boxes.last().title, QStringLiteral("Atenção"));
            EXPECT_EQ(t.boxes.last().icon, Icon::Exclamation);
        }
    }
}

}  // namespace
}  // namespace ql
