#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "admin/cancelamento.h"
#include "admin/journal_model.h"
#include "admin/journal_names.h"
#include "admin/journal_writer.h"
#include "data/checksum.h"
#include "data/data_files.h"
#include "shell/model_roles.h"
#include "shell/text_files.h"
#include "support/test_context.h"

namespace ql {
namespace {

using test::TestContext;
using Icon = MessageBoxes::Icon;

// Writes hand-made journal lines (CR LF) under baseName + the checksum of those lines.
QString writeChecksummed(const TestContext& t, const QString& baseName, const QStringList& lines) {
    const QString name = baseName + ChecksumDeLinhas(lines);
    QFile f(t.path(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    for (const QString& l : lines) f.write(toCp1252(l) + "\r\n");
    return name;
}

QStringList rowTexts(const JournalModel& m, int row) {
    QStringList r;
    for (int c = 0; c < m.columnCount(); ++c) r << m.text(row, c);
    return r;
}

TEST(JournalCells, TextByTypeLetter) {
    // clang-format off
    const char* casos[][2] = {
        {"A  Dipirona 500mg  ", "Dipirona 500mg"}, {"A", ""}, {"N000123", "123"},
        {"N-0012.50", "-12,5"}, {"N", "0"}, {"N12ab", "12"}, {"M0000012345", "123,45"},
        {"M-150", "-1,50"}, {"M5", "0,05"}, {"M", "0,00"}, {"M-0", "0,00"}, {"M12345.5", "123,46"},
        {"M99999.5", "1000,00"}, {"M123456789012345678", "1234567890123456,78"},
        {"D260304", "04/03/26"}, {"D260304153012", "15:30:12 04/03/26"}, {"X123", ""}, {"", ""}};
    // clang-format on
    for (const auto& c : casos)
        EXPECT_EQ(journalCellText(QString::fromLatin1(c[0])), QString::fromLatin1(c[1])) << c[0];
}

TEST(CarregaGrid, BlockShapes) {
    struct Case {
        const char* name;
        QStringList lines;
        QVector<QStringList> rows;  // none: not loaded, "no records" told
        int columns;
    };
    // clang-format off
    const Case cases[] = {
        {"last block without a closing empty line",
         {"1", "AH1", "AH2", "", "1", "Aa", "Ab", "", "1", "Ac", "Ad"},
         {{"a", "b"}, {"c", "d"}}, 2},
        {"short and long data rows",
         {"1", "AH1", "AH2", "", "1", "Aa", "", "1", "Ab", "Ac", "Aextra", ""},
         {{"a", ""}, {"b", "c"}}, 2},
        {"unknown letters leave cells empty but count",
         {"1", "AH1", "AH2", "AH3", "", "1", "Z9", "Ab", "Ac", ""}, {{"", "b", "c"}}, 3},
        {"opening line that is the file's last line is a cell", {"1", "AH1", "", "Aonly"},
         {{"only"}}, 1},
        {"a comma splits a line", {"1", "AH1", "AH2", "", "1", "Aa,Ab", ""}, {{"a", "b"}}, 2},
        {"a quoted line keeps its comma", {"1", "AH1", "", "1", "\"Aa, b\"", ""}, {{"a, b"}}, 1},
        {"header only", {"000", "TTitulo", "", "1", "AH1", "AH2", ""}, {}, 2},
        {"title only", {"000", "TTitulo", ""}, {}, 0},
        {"empty file", {}, {}, 0}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestContext t;
        writeChecksummed(t, QStringLiteral("SS00000123.S"), c.lines);
        JournalModel m;
        EXPECT_EQ(CarregaGrid(t.ctx, QStringLiteral("SS00000123.S??"), m), !c.rows.isEmpty());
        EXPECT_EQ(m.columnCount(), c.columns);
        ASSERT_EQ(m.rowCount(), c.rows.size());
        for (int r = 0; r < m.rowCount(); ++r) EXPECT_EQ(rowTexts(m, r), c.rows[r]);
        EXPECT_EQ(t.boxes.texts(),
                  c.rows.isEmpty()
                      ? QStringList{QStringLiteral("Não existem registros a serem exibidos!")}
                      : QStringList{});
    }
}

TEST(CarregaGrid, RefusesMissingAndCorruptFiles) {
    TestContext t;
    JournalModel m;
    QString subtitulo = QStringLiteral("kept");
    const QString padrao = QStringLiteral(" TS00000123-000045.S?? ");
    EXPECT_FALSE(CarregaGrid(t.ctx, padrao, m, &subtitulo));
    EXPECT_TRUE(t.boxes.shown().size() == 1 && t.boxes.last().icon == Icon::Information);
    EXPECT_EQ(t.boxes.last().text, QStringLiteral("Não existem registros a serem exibidos! Arquivo "
                                                  "TS00000123-000045.S?? não foi encontrado."));

    // Contents changed after the file was named (a lower-case checksum: tests/data), and a good
    // journal padded with NULs beyond the data-file size limit (its checksum unchanged): both
    // refused as damaged, the second without being read.
    const std::function<void(QFile&)> danos[] = {
        [](QFile& f) { f.open(QIODevice::Append) && f.write("1\r\nAintruder\r\n"); },
        [](QFile& f) { f.resize(kMaxBytesArquivoDados + 1); }};
    for (const auto& dano : danos) {
        const QString name = writeChecksummed(t, QStringLiteral("TS00000123-000045.S"),
                                              {"1", "AH1", "", "1", "Avalue", ""});
        QFile f(t.path(name));
        dano(f);
        f.close();
        t.boxes.clear();
        EXPECT_FALSE(CarregaGrid(t.ctx, padrao, m, &subtitulo));
        EXPECT_EQ(m.rowCount() + m.columnCount(), 0);
        EXPECT_EQ(subtitulo, QStringLiteral("kept"));
        EXPECT_EQ(t.boxes.texts(), QStringList{"Arquivo " + joinPath(t.dir.path(), name) +
                                               " corrompido ! Contatar o suporte !"});
        EXPECT_EQ(t.boxes.last().icon, Icon::Critical);
        ASSERT_TRUE(f.remove());
    }
}

TEST(CarregaGrid, StopsAtACounterOverflow) {
    TestContext t;
    JournalModel m;
    QStringList lines = {"1"};
    for (int i = 0; i < 32768; ++i) lines << QStringLiteral("A");
    EXPECT_FALSE(loadJournalBody(t.ctx, journalBody(lines), m));
    EXPECT_EQ(t.boxes.texts(), QStringList{"Ocorreu o erro: 6 - Estouro"});
    EXPECT_TRUE(t.boxes.last().title.endsWith("CarregaGrid"));

    // A wide header and short rows: every row would hold all the header's columns.
    lines = QStringList{"1"} + QStringList(32000, QStringLiteral("A"));
    for (int i = 0; i < 200; ++i) lines << QString() << QStringLiteral("1") << QStringLiteral("Ax");
    t.boxes.clear();
    EXPECT_FALSE(loadJournalBody(t.ctx, journalBody(lines), m));
    EXPECT_EQ(t.boxes.texts(), QStringList{"Ocorreu o erro: 7 - Memória insuficiente"});
    EXPECT_EQ(m.columnCount(), 0);
}

JournalTable sampleLot() {
    JournalTable table;
    table.title = QStringLiteral("Lote 000045 - Transações; cartões e valores");
    table.columns = journalColumns(JournalKind::TransacoesLote);
    const QDateTime at(QDate(2026, 3, 4), QTime(15, 30, 12));
    table.rows.append({journalNumber(45), journalNumber(1234), journalStamp(at), "6064 **** 0001",
                       "A1B2C3", "BC01", QString(), "Cupom 12; caixa 3", journalNumber(2),
                       journalCents(12345), journalCents(0), journalCents(-150), journalCents(7)});
    table.rows.append({journalNumber(45), journalNumber(1235), journalStamp(at.addDays(1)),
                       "6064 **** 0002", QString(), "VD01", "CANC."});
    return table;
}

TEST(JournalWriter, RoundTripsThroughTheReader) {
    TestContext t;
    const QString base =
        journalBaseName(JournalKind::TransacoesLote, 1, QStringLiteral(" 00000123 "), 45);
    QString error;
    ASSERT_TRUE(writeJournal(t.dir.path(), base, sampleLot(), &error)) << error.toStdString();
    JournalModel m;
    QString subtitulo = QStringLiteral("design text");
    ASSERT_TRUE(CarregaGrid(
        t.ctx, journalPattern(JournalKind::TransacoesLote, 1, QStringLiteral("00000123"), 45), m,
        &subtitulo));
    EXPECT_EQ(subtitulo, QStringLiteral("Lote 000045 - Transações; cartões e valores"));
    EXPECT_EQ(m.subtitle(), subtitulo);
    ASSERT_EQ(m.rowCount(), 2);
    EXPECT_EQ(rowTexts(m, 0),
              (QStringList{"45", "1234", "15:30:12 04/03/26", "6064 **** 0001", "A1B2C3", "BC01",
                           "", "Cupom 12; caixa 3", "2", "123,45", "0,00", "-1,50", "0,07"}));
    EXPECT_EQ(rowTexts(m, 1), (QStringList{"45", "1235", "15:30:12 05/03/26", "6064 **** 0002", "",
                                           "VD01", "CANC.", "", "", "", "", "", ""}));
    // The header's "0" column is hidden; widths are the longest raw value, header included.
    for (int c : {0, 3, 7}) {
        EXPECT_EQ(m.headerData(c, Qt::Horizontal, roles::ColumnHidden).toBool(), c == 0);
        EXPECT_EQ(m.isColumnHidden(c), c == 0);
        EXPECT_FALSE(m.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).isValid());
    }
    EXPECT_EQ(m.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Cartão"));
    EXPECT_EQ(m.headerText(3), QStringLiteral("Cartão"));
    EXPECT_EQ(m.headerData(7, Qt::Horizontal, roles::ColumnWidthChars).toInt(), 17);
    EXPECT_EQ(m.columnWidth(7), 17);  // "Cupom 12; caixa 3"
    // Numbers and amounts right, texts and dates left.
    auto align = [&](int r, int c) {
        return m.data(m.index(r, c), Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(QList<int>({align(0, 1), align(0, 2), align(0, 3), align(0, 9)}),
              QList<int>({Qt::AlignRight, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight}));
    // The pending list has one name whatever the type and key (the others: resumos_test).
    EXPECT_EQ(journalPattern(JournalKind::TransacoesPendentes, 4, QStringLiteral("00000123 "), 9),
              QStringLiteral("TP00000123.S??"));
}

TEST(JournalWriter, NamesTheFileByItsChecksumAndReplacesTheOldOne) {
    TestContext t;
    const QString dir = t.dir.path();
    const QString base = QStringLiteral("TP00000123.S");
    t.writeFile(QStringLiteral("TP00000999.S00"), QString());  // another operadora's: kept
    QString first, second, error;
    ASSERT_TRUE(writeJournal(dir, base, sampleLot(), &error, &first));
    JournalTable changed = sampleLot();
    changed.rows[0][3] = QStringLiteral("6064 **** 0009");
    ASSERT_TRUE(writeJournal(dir, base, changed, &error, &second));
    ASSERT_NE(first, second);
    EXPECT_TRUE(readWholeFile(second).value_or(QByteArray()).endsWith("\r\n"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files, QDir::Name),
              (QStringList{QFileInfo(second).fileName(), "TP00000999.S00"}));
}

TEST(JournalWriter, RefusesWhatCannotBeReadBack) {
    struct Case {
        const char* name;
        std::function<void(JournalTable&)> change;
        QString base = QStringLiteral("SS00000123.S");
    };
    const Case cases[] = {
        {"no columns", [](JournalTable& j) { j.columns.clear(); }},
        {"bad type letter", [](JournalTable& j) { j.columns[2].type = QLatin1Char('X'); }},
        {"row longer than the columns", [](JournalTable& j) { j.rows[0] << QStringLiteral("x"); }},
        {"double quote in a value", [](JournalTable& j) { j.rows[0][3] = "5\" tablet"; }},
        {"comma in the title", [](JournalTable& j) { j.title = "Lote 45, transações"; }},
        {"line break in the title", [](JournalTable& j) { j.title = "a\r\nb"; }},
        {"outside Windows-1252",
         [](JournalTable& j) { j.rows[0][3] = QString::fromUtf8("\u4e2d"); }},
        {"wildcard in the name", [](JournalTable&) {}, QStringLiteral("SS??.S")},
        {"path in the name", [](JournalTable&) {}, QStringLiteral("../SS1.S")},
        {"too large for the checksum",
         [](JournalTable& j) { j.rows[0][3] = QString(300000, QLatin1Char('z')); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestContext t;
        JournalTable table = sampleLot();
        c.change(table);
        QString error;
        EXPECT_FALSE(writeJournal(t.dir.path(), c.base, table, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(QDir(t.dir.path()).entryList(QDir::Files).isEmpty());
    }
    EXPECT_EQ(journalSafeText(QStringLiteral("5\" tab\r\nlet, x")),
              QStringLiteral("5' tab  let  x"));
}

// Loads a lot table through the real writer and reader, as the screens get it.
void carrega(TestContext& t, JournalTable tabela, JournalModel& modelo,
             JournalKind tipo = JournalKind::TransacoesLote) {
    if (tabela.columns.isEmpty()) tabela.columns = journalColumns(tipo);
    QString erro;
    ASSERT_TRUE(writeJournal(t.dir.path(), QStringLiteral("TS00000123-000045.S"), tabela, &erro))
        << erro.toStdString();
    ASSERT_TRUE(CarregaGrid(t.ctx, QStringLiteral("TS00000123-000045.S??"), modelo));
}

TEST(SomaTotais, AddsTheFourAmountColumnsOfEveryRow) {
    struct Caso {
        const char* nome;
        QVector<QStringList> linhas;  // the four amount cells of each row, as text cells
        QStringList esperado;
        bool erro;
    };
    // clang-format off
    const Caso casos[] = {
        {"negative amounts and integers", {{"-1,50", "7", "0", "100"}, {"0,50", "-7", "0", "0,99"}},
         {"-1,00", "0,00", "0,00", "100,99"}, false},
        {"large amounts", {{"10,00", "999,99", "1234567,89", "-0,05"}, {"2,50", "0,01", "0,01", "0,05"}},
         {"12,50", "1000,00", "1234567,90", "0,00"}, false},
        {"many cents do not drift", QVector<QStringList>(10, {"0,10", "0,10", "0,10", "0,10"}),
         {"1,00", "1,00", "1,00", "1,00"}, false},
        // The bad cell stops the adding; what came before it stays added.
        {"bad credit cell in the second row",
         {{"10,00", "1,00", "0,10", "0,01"}, {"2,50", "2,00", "X", "0,02"}},
         {"12,50", "3,00", "0,10", "0,01"}, true},
        {"empty first cell", {{"", "1,00", "1,00", "1,00"}},
         {"0,00", "0,00", "0,00", "0,00"}, true}};
    // clang-format on
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nome);
        TestContext t;
        // Text cells between quotes, as the reader takes them, so that they may hold commas.
        QStringList linhas{"B0"};
        for (const JournalColumn& c : journalColumns(JournalKind::TransacoesLote))
            linhas << "A" + c.header;
        for (const QStringList& v : caso.linhas) {
            linhas += QStringList{"",     "B1",  "N45",    "N7", "D261205", "A6062***0004",
                                  "AAUT", "ABC", "APEND.", "N1", "N1"};
            for (const QString& valor : v) linhas << "\"A" + valor + "\"";
        }
        JournalModel modelo;
        ASSERT_TRUE(loadJournalBody(t.ctx, journalBody(linhas), modelo));
        const TotaisLote s = SomaTotais(t.ctx, modelo);
        EXPECT_EQ(QStringList({s.liquidoVenda, s.reposicao, s.credito, s.debito}), caso.esperado);
        EXPECT_EQ(t.boxes.texts(), caso.erro
                                       ? QStringList{"Ocorreu o erro: 13 - Tipos incompatíveis"}
                                       : QStringList{});
        EXPECT_TRUE(!caso.erro || t.boxes.last().title.endsWith("SomaTotais"));
    }
    // The print title joins the labels and the totals.
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
        EXPECT_TRUE(esperado.isEmpty() || (t.boxes.last().title == QStringLiteral("Atenção") &&
                                           t.boxes.last().icon == MessageBoxes::Icon::Exclamation));
    }
}

}  // namespace
}  // namespace ql
