#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "admin/journal_model.h"
#include "admin/journal_names.h"
#include "admin/journal_writer.h"
#include "data/checksum.h"
#include "shell/model_roles.h"
#include "shell/text_files.h"
#include "support/test_context.h"

namespace ql {
namespace {

using test::TestContext;
using Icon = MessageBoxes::Icon;

const QString kSemRegistros = QStringLiteral("Não existem registros a serem exibidos!");

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
    struct Case {
        const char* line;
        const char* shown;
    };
    const Case cases[] = {{"A  Dipirona 500mg  ", "Dipirona 500mg"},
                          {"A", ""},
                          {"N000123", "123"},
                          {"N  042 ", "42"},
                          {"N-0012.50", "-12,5"},
                          {"N0", "0"},
                          {"N", "0"},
                          {"Nabc", "0"},
                          {"N12ab", "12"},
                          {"M0000012345", "123,45"},
                          {"M-150", "-1,50"},
                          {"M5", "0,05"},
                          {"M0", "0,00"},
                          {"M", "0,00"},
                          {"M-0", "0,00"},
                          {"M12345.5", "123,46"},
                          {"M99999.5", "1000,00"},
                          {"M123456789012345678", "1234567890123456,78"},
                          {"D260304", "04/03/26"},
                          {"D260304153012", "15:30:12 04/03/26"},
                          {"D2603041530", "04/03/26"},
                          {"D2603", "/03/26"},
                          {"X123", ""},
                          {"a123", ""},
                          {"", ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(journalCellText(QString::fromLatin1(c.line)), QString::fromLatin1(c.shown))
            << c.line;
    }
}

TEST(CarregaGrid, LoadsTitleHeaderAndRows) {
    TestContext t;
    // Title block, header block, two data blocks; one line per "|".
    const QStringList lines =
        QStringLiteral(
            "000|TResumo do lote 45||1|ALote|A0|ANSU|AValor||1|N000045|N000000001234|"
            "D260304153012|M0000012345||1|N45|N1235|D260305|M-50|")
            .split(QLatin1Char('|'));
    writeChecksummed(t, QStringLiteral("TS00000123-000045.S"), lines);
    JournalModel m;
    QString subtitulo = QStringLiteral("design text");
    ASSERT_TRUE(CarregaGrid(t.ctx, QStringLiteral("TS00000123-000045.S??"), m, &subtitulo));
    EXPECT_TRUE(t.boxes.empty());
    EXPECT_EQ(subtitulo, QStringLiteral("Resumo do lote 45"));
    EXPECT_EQ(m.subtitle(), subtitulo);
    ASSERT_EQ(m.rowCount(), 2);
    ASSERT_EQ(m.columnCount(), 4);
    EXPECT_EQ(rowTexts(m, 0), (QStringList{"45", "1234", "15:30:12 04/03/26", "123,45"}));
    EXPECT_EQ(rowTexts(m, 1), (QStringList{"45", "1235", "05/03/26", "-0,50"}));

    // Header row, the hidden column and the widths (longest trimmed raw value, header included).
    const QStringList headers = {"Lote", "0", "NSU", "Valor"};
    const bool hidden[] = {false, true, false, false};
    const int widths[] = {6, 12, 12, 10};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(m.headerData(c, Qt::Horizontal).toString(), headers[c]);
        EXPECT_EQ(m.headerData(c, Qt::Horizontal, roles::ColumnHidden).toBool(), hidden[c]);
        EXPECT_EQ(m.isColumnHidden(c), hidden[c]);
        EXPECT_EQ(m.headerData(c, Qt::Horizontal, roles::ColumnWidthChars).toInt(), widths[c]);
        EXPECT_FALSE(m.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).isValid());
    }
    // Numbers and amounts right, dates left.
    auto align = [&](int r, int c) {
        return m.data(m.index(r, c), Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(align(0, 0), int(Qt::AlignRight));
    EXPECT_EQ(align(0, 2), int(Qt::AlignLeft));
    EXPECT_EQ(align(1, 3), int(Qt::AlignRight));
}

TEST(CarregaGrid, BlockShapes) {
    struct Case {
        const char* name;
        QStringList lines;
        bool loaded;
        QVector<QStringList> rows;
        int columns;
    };
    const Case cases[] = {
        {"last block without a closing empty line",
         {"1", "AH1", "AH2", "", "1", "Aa", "Ab", "", "1", "Ac", "Ad"},
         true,
         {{"a", "b"}, {"c", "d"}},
         2},
        {"short and long data rows",
         {"1", "AH1", "AH2", "", "1", "Aa", "", "1", "Ab", "Ac", "Aextra", ""},
         true,
         {{"a", ""}, {"b", "c"}},
         2},
        {"unknown letters leave cells empty but count",
         {"1", "AH1", "AH2", "AH3", "", "1", "Z9", "Ab", "Ac", ""},
         true,
         {{"", "b", "c"}},
         3},
        {"opening line that is the file's last line is a cell",
         {"1", "AH1", "", "Aonly"},
         true,
         {{"only"}},
         1},
        {"a comma splits a line into two cells",
         {"1", "AH1", "AH2", "", "1", "Aa,Ab", ""},
         true,
         {{"a", "b"}},
         2},
        {"a quoted line keeps its comma",
         {"1", "AH1", "", "1", "\"Aa, b\"", ""},
         true,
         {{"a, b"}},
         1},
        {"header only", {"000", "TTitulo", "", "1", "AH1", "AH2", ""}, false, {}, 2},
        {"title only", {"000", "TTitulo", ""}, false, {}, 0},
        {"empty file", {}, false, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestContext t;
        writeChecksummed(t, QStringLiteral("SS00000123.S"), c.lines);
        JournalModel m;
        EXPECT_EQ(CarregaGrid(t.ctx, QStringLiteral("SS00000123.S??"), m), c.loaded);
        EXPECT_EQ(m.columnCount(), c.columns);
        ASSERT_EQ(m.rowCount(), c.rows.size());
        for (int r = 0; r < m.rowCount(); ++r) EXPECT_EQ(rowTexts(m, r), c.rows[r]);
        if (c.loaded) {
            EXPECT_TRUE(t.boxes.empty());
        } else {
            ASSERT_EQ(t.boxes.shown().size(), 1u);
            EXPECT_EQ(t.boxes.last().text, kSemRegistros);
            EXPECT_EQ(t.boxes.last().title, QStringLiteral("Atenção"));
            EXPECT_EQ(t.boxes.last().icon, Icon::Information);
        }
    }
}

TEST(CarregaGrid, RefusesMissingAndCorruptFiles) {
    const QStringList good = {"1", "AH1", "", "1", "Avalue", ""};
    struct Case {
        const char* name;
        std::function<QString(TestContext&)> setup;  // returns the expected message
        Icon icon;
    };
    const Case cases[] = {
        {"no file of the pattern",
         [](TestContext&) {
             return QStringLiteral(
                 "Não existem registros a serem exibidos! Arquivo "
                 "TS00000123-000045.S?? não foi encontrado.");
         },
         Icon::Information},
        {"contents changed after naming",
         [&](TestContext& t) {
             const QString name = writeChecksummed(t, QStringLiteral("TS00000123-000045.S"), good);
             QFile f(t.path(name));
             f.open(QIODevice::Append);
             f.write("1\r\nAintruder\r\n");
             return QStringLiteral("Arquivo ") + joinPath(t.dir.path(), name) +
                    QStringLiteral(" corrompido ! Contatar o suporte !");
         },
         Icon::Critical},
        {"checksum written in lower case",
         [&](TestContext& t) {
             // "1","AH1","","1","Avalue","" sums to a checksum with a letter in it.
             const QString upper = writeChecksummed(t, QStringLiteral("TS00000123-000045.S"), good);
             const QString lower = upper.left(upper.size() - 2) + upper.right(2).toLower();
             EXPECT_NE(upper, lower) << "pick lines whose checksum holds a letter";
             QFile::rename(t.path(upper), t.path(lower));
             return QStringLiteral("Arquivo ") + joinPath(t.dir.path(), lower) +
                    QStringLiteral(" corrompido ! Contatar o suporte !");
         },
         Icon::Critical},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestContext t;
        const QString message = c.setup(t);
        JournalModel m;
        QString subtitulo = QStringLiteral("kept");
        EXPECT_FALSE(CarregaGrid(t.ctx, QStringLiteral(" TS00000123-000045.S?? "), m, &subtitulo));
        EXPECT_EQ(m.rowCount(), 0);
        EXPECT_EQ(m.columnCount(), 0);
        EXPECT_EQ(subtitulo, QStringLiteral("kept"));
        ASSERT_EQ(t.boxes.shown().size(), 1u);
        EXPECT_EQ(t.boxes.last().text, message);
        EXPECT_EQ(t.boxes.last().title, QStringLiteral("Atenção"));
        EXPECT_EQ(t.boxes.last().icon, c.icon);
    }
}

TEST(CarregaGrid, ReadsOnlyTheFirstMatchingFile) {
    TestContext t;
    writeChecksummed(t, QStringLiteral("TP00000123.S"), {"1", "AH", "", "1", "Afirst", ""});
    // The same journal left under another checksum; it sorts after the first one.
    QFile f(t.path(QStringLiteral("TP00000123.SZZ")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("1\r\nAH\r\n\r\n1\r\nAsecond\r\n");
    f.close();
    JournalModel m;
    ASSERT_TRUE(CarregaGrid(t.ctx, QStringLiteral("tp00000123.s??"), m));
    EXPECT_EQ(m.text(0, 0), QStringLiteral("first"));
}

TEST(CarregaGrid, CellCounterOverflowGoesToTheErrorRoutine) {
    TestContext t;
    QStringList lines = {"1"};
    for (int i = 0; i < 32768; ++i) lines << QStringLiteral("A");
    JournalModel m;
    EXPECT_FALSE(loadJournalBody(t.ctx, journalBody(lines), m));
    ASSERT_EQ(t.boxes.shown().size(), 1u);
    EXPECT_EQ(t.boxes.last().text, QStringLiteral("Ocorreu o erro: 6 - Estouro"));
    EXPECT_EQ(t.boxes.last().title, QStringLiteral("ATENÇÃOCarregaGrid"));
    EXPECT_EQ(m.columnCount(), 0);
}

JournalTable sampleLot() {
    JournalTable table;
    table.title = QStringLiteral("Lote 000045 - Transações, cartões e valores");
    table.columns = journalColumns(JournalKind::TransacoesLote);
    const QDateTime at(QDate(2026, 3, 4), QTime(15, 30, 12));
    table.rows.append({journalNumber(45), journalNumber(1234), journalStamp(at),
                       QStringLiteral("6064 **** 0001"), QStringLiteral("A1B2C3"),
                       QStringLiteral("BC01"), QString(), QStringLiteral("Cupom 12, caixa 3"),
                       journalNumber(2), journalCents(12345), journalCents(0), journalCents(-150),
                       journalCents(7)});
    table.rows.append({journalNumber(45), journalNumber(1235), journalStamp(at.addDays(1)),
                       QStringLiteral("6064 **** 0002"), QString(), QStringLiteral("VD01"),
                       QStringLiteral("CANC.")});
    return table;
}

TEST(JournalWriter, RoundTripsThroughTheReader) {
    TestContext t;
    const QString base =
        journalBaseName(JournalKind::TransacoesLote, 1, QStringLiteral(" 00000123 "), 45);
    QString error, written;
    ASSERT_TRUE(writeJournal(t.dir.path(), base, sampleLot(), &error, &written))
        << error.toStdString();

    JournalModel m;
    QString subtitulo;
    ASSERT_TRUE(CarregaGrid(
        t.ctx, journalPattern(JournalKind::TransacoesLote, 1, QStringLiteral("00000123"), 45), m,
        &subtitulo));
    EXPECT_EQ(subtitulo, QStringLiteral("Lote 000045 - Transações, cartões e valores"));
    ASSERT_EQ(m.columnCount(), 13);
    ASSERT_EQ(m.rowCount(), 2);
    EXPECT_EQ(rowTexts(m, 0),
              (QStringList{"45", "1234", "15:30:12 04/03/26", "6064 **** 0001", "A1B2C3", "BC01",
                           "", "Cupom 12, caixa 3", "2", "123,45", "0,00", "-1,50", "0,07"}));
    EXPECT_EQ(rowTexts(m, 1), (QStringList{"45", "1235", "15:30:12 05/03/26", "6064 **** 0002", "",
                                           "VD01", "CANC.", "", "", "", "", "", ""}));
    EXPECT_TRUE(m.isColumnHidden(0));
    EXPECT_EQ(m.headerText(1), QStringLiteral("NSU"));
    EXPECT_EQ(m.headerText(3), QStringLiteral("Cartão"));
    EXPECT_EQ(m.columnWidth(7), 17);  // "Cupom 12, caixa 3"
}

TEST(JournalWriter, NamesTheFileByItsChecksumAndReplacesTheOldOne) {
    TestContext t;
    const QString dir = t.dir.path();
    const QString base = QStringLiteral("TP00000123.S");
    // An unrelated journal of another operadora must survive.
    t.writeFile(QStringLiteral("TP00000999.S00"), QString());
    QString first, second, error;
    ASSERT_TRUE(writeJournal(dir, base, sampleLot(), &error, &first));
    JournalTable changed = sampleLot();
    changed.rows[0][3] = QStringLiteral("6064 **** 0009");
    ASSERT_TRUE(writeJournal(dir, base, changed, &error, &second));

    EXPECT_TRUE(QFileInfo(second).fileName().startsWith(base));
    EXPECT_TRUE(readWholeFile(second).value_or(QByteArray()).endsWith("\r\n"));
    QString checksum;
    EXPECT_TRUE(Valida_Check_Sum_Arquivo(t.ctx, second, checksum));

    QStringList left = QDir(dir).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left, (QStringList{QFileInfo(second).fileName(), "TP00000999.S00"}));
    if (first != second) {
        EXPECT_FALSE(QFile::exists(first));
    }
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
        {"line break in the title", [](JournalTable& j) { j.title = "a\r\nb"; }},
        {"character outside Windows-1252",
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
              QStringLiteral("5' tab  let, x"));
}

TEST(JournalNames, PatternsByKindAndEstablishmentType) {
    struct Case {
        JournalKind kind;
        int tipo;
        qint64 chave;
        const char* pattern;
    };
    // The summary and product kinds are in the summaries' pattern table (resumos_test).
    const Case cases[] = {
        {JournalKind::TransacoesLote, 1, 45, "TS00000123-000045.S??"},
        {JournalKind::TransacoesPendentes, 3, 99, "TP00000123.S??"},  // no key in the name
        {JournalKind::ResumoVendas, 4, 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(journalPattern(c.kind, c.tipo, QStringLiteral("00000123 "), c.chave),
                  QString::fromLatin1(c.pattern));
    }
}

}  // namespace
}  // namespace ql
