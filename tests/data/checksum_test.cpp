#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <QStringList>

#include "data/checksum.h"
#include "data/sequential_items.h"
#include "data_fixtures.h"
#include "shell/text_files.h"

namespace ql {
namespace {

QString chars(std::initializer_list<int> codes) {
    QByteArray b;
    for (int c : codes) b.append(char(c));
    return fromCp1252(b);
}

TEST(CriptografiaSenha, ShiftTableBothWays) {
    struct Case {
        QString in;
        const char* modo;
        QString out;
        bool erro = false;
    };
    QByteArray todos;  // every code up to 200 goes there and back
    for (int c = 0; c <= 200; ++c) todos.append(char(c));
    const QString ida = [&] {
        test::TestContext t;
        QString s = fromCp1252(todos);
        CriptografiaSenha(t.ctx, s, QStringLiteral("C"));
        return s;
    }();
    const Case cases[] = {
        {QStringLiteral("0"), "C", chars({203})},
        {chars({203}), "D", QStringLiteral("0")},
        {chars({100}), "C", chars({255})},
        {chars({101}), "C", chars({1})},
        {QStringLiteral("AZ09"), "C", chars({220, 245, 203, 212})},
        {ida, "D", fromCp1252(todos)},
        {QStringLiteral("864209"), "c", QStringLiteral("864209")},  // mode is exact
        {QStringLiteral("ABC"), "X", QStringLiteral("ABC")},
        {QString(), "C", QString()},
        // Never scrambled: code 120 - 155 < 0 cannot be unscrambled; the text stays.
        {QStringLiteral("x"), "D", QStringLiteral("x"), true},
    };
    for (const Case& c : cases) {
        test::TestContext t;
        QString s = c.in;
        CriptografiaSenha(t.ctx, s, QString::fromLatin1(c.modo));
        EXPECT_EQ(toCp1252(s), toCp1252(c.out)) << c.modo << " " << c.in.toStdString();
        EXPECT_EQ(t.boxes.shown().size(), c.erro ? 1u : 0u);
        EXPECT_TRUE(!c.erro || t.boxes.last().title.endsWith("CriptografiaSenha"));
    }
}

TEST(Checksum, PositionWeightsAndTheSumLimit) {
    EXPECT_EQ(QStringList({TextoChecksum(10), TextoChecksum(254), TextoChecksum(255)}),
              QStringList({"0A", "FE", "00"}));
    // The sum stops before it overflows 32 bits.
    bool completo = true;
    ChecksumDeLinhas(QStringList(200, QString(1000, QChar(0xFF))), &completo);
    EXPECT_FALSE(completo);
}

TEST(Checksum, FileLinesEndAtCrOrCrLfButNotAtALoneLf) {
    using L = QList<QByteArray>;
    EXPECT_EQ(LinhasDoArquivo(""), L{});
    EXPECT_EQ(LinhasDoArquivo("ABC\r\n"), L{"ABC"});
    EXPECT_EQ(LinhasDoArquivo("A\rB\r\nC"), (L{"A", "B", "C"}));
    EXPECT_EQ(LinhasDoArquivo("A\nB\r\n"), L{"A\nB"});
    EXPECT_EQ(LinhasDoArquivo("\r\n\r\n"), (L{"", ""}));
}

TEST(ValidaCheckSumArquivo, AcceptsOnlyTheExactUpperCaseName) {
    struct Case {
        const char* name;
        QByteArray body;
        bool ok;
    };
    const Case cases[] = {
        {"UP.S8F", "ABC\r\n", true},
        {"UP.S8f", "ABC\r\n", false},
        {"UP.S00", "", true},
        {"UP.S8F", "ABD\r\n", false},
        {"UP.S8F", "ABC", true},
        {"UP.S8F", "A\r\nBC\r\n", true},  // positions run on across lines
        {"MF.S50", "abc\r\n", true},
        // 25 lines, 600 characters: weights restart after position 254 (position 256 weighs
        // 1), the sum worked out by hand from the rule, not by this code.
        {"UP.S78", QByteArray("MNG1,1234,QUILLANE SAUDE\r\n").repeated(25), true},
    };
    for (const Case& c : cases) {
        test::TestContext t;
        const QString path = t.path(QString::fromLatin1(c.name));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.body);
        f.close();
        QString cs = QStringLiteral("--");
        EXPECT_EQ(Valida_Check_Sum_Arquivo(t.ctx, path, cs), c.ok) << c.name;
        EXPECT_EQ(cs, c.ok ? QString::fromLatin1(c.name).right(2) : QStringLiteral("--"));
        EXPECT_TRUE(t.boxes.empty());
    }
    test::TestContext t;
    QString cs;
    EXPECT_FALSE(Valida_Check_Sum_Arquivo(t.ctx, t.path("UP.S11"), cs));
    EXPECT_TRUE(
        test::umaCaixa(t, "Ocorreu o erro: Arquivo " + t.path("UP.S11") + " não foi encontrado.",
                       "ATENÇÃOValida_Check_Sum_Arquivo", MessageBoxes::Icon::Exclamation));
}

TEST(SobreEscreveArquivo, ReplacesTheFileUnderItsNewChecksumName) {
    test::TestContext t;
    t.writeFile(QStringLiteral("UP.S00"), QString());
    QString name = t.path(QStringLiteral("UP.S00"));
    ASSERT_TRUE(SobreEscreveArquivo(t.ctx, name, QStringLiteral("ABC")));
    EXPECT_EQ(name, t.path(QStringLiteral("UP.S8F")));
    EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("UP.S8F")});
    EXPECT_EQ(readWholeFile(name).value(), QByteArray("ABC\r\n"));

    // Rewriting with the same contents keeps one file under the same name.
    ASSERT_TRUE(SobreEscreveArquivo(t.ctx, name, QStringLiteral("ABC")));
    EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("UP.S8F")});

    // A folder that cannot be written keeps the old file and reports the failure.
    QString elsewhere = t.path(QStringLiteral("missing/UP.S8F"));
    EXPECT_FALSE(SobreEscreveArquivo(t.ctx, elsewhere, QStringLiteral("X")));
    EXPECT_EQ(elsewhere, t.path(QStringLiteral("missing/UP.S8F")));
    ASSERT_EQ(t.boxes.shown().size(), 1u);
    EXPECT_EQ(t.boxes.last().title, QStringLiteral("ATENÇÃOSobreEscreveArquivo"));
}

TEST(ProcuraArquivo, MatchesThePatternIgnoringCase) {
    test::TestContext t;
    t.writeFile(QStringLiteral("up.s8f"), QStringLiteral("ABC\r\n"));
    t.writeFile(QStringLiteral("LT0001.S3C"), QString());
    t.writeFile(QStringLiteral("UP.S8F.bak"), QString());
    EXPECT_EQ(ProcuraArquivo(t.dir.path(), QStringLiteral("\\UP.S??")),
              t.path(QStringLiteral("up.s8f")));
    EXPECT_EQ(ProcuraArquivo(t.dir.path(), QStringLiteral("LT0001.S??")),
              t.path(QStringLiteral("LT0001.S3C")));
    EXPECT_EQ(ProcuraArquivo(t.dir.path(), QStringLiteral("MF.S??")), QString());
    EXPECT_EQ(ProcuraArquivo(t.path(QStringLiteral("nope")), QStringLiteral("MF.S??")), QString());
}

QStringList todosItens(const QByteArray& bytes) {
    SequentialItems itens(bytes);
    QStringList r;
    while (!itens.atEnd()) r << itens.next();
    return r;
}

QStringList todasLinhas(const QByteArray& bytes) {
    SequentialItems itens(bytes);
    QStringList r;
    while (!itens.atEnd()) r << itens.nextLine();
    return r;
}

struct CasoItens {
    const char* nome;
    QByteArray bytes;
    QStringList esperado;
};

TEST(SequentialItems, ReadsItemsLikeTheStoreFiles) {
    const CasoItens casos[] = {
        {"empty data has no items", "", {}},
        {"comma and line end both end items", "a,b\r\nc", {"a", "b", "c"}},
        {"blanks round an item are dropped", "  lead , \ttrail  \r\n", {"lead", "trail"}},
        {"quotes keep commas and blanks", "\" x, y \",z\r\n", {" x, y ", "z"}},
        {"text after the closing quote is ignored", "\"q\"junk,next", {"q", "next"}},
        {"an unterminated quote stops at the line end", "\"open\r\nx", {"open", "x"}},
        {"an empty line is an empty item", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"a lone CR ends a line", "a\rb", {"a", "b"}},
        {"a lone LF stays inside the item", "a\nb\r\n", {"a\nb"}},
        {"doubled line ends put a LF in front", "000\r\n\n000\r\n", {"000", "\n000"}},
        {"a comma before the line end leaves an empty item", "a,\r\nb", {"a", "", "b"}},
        {"a comma at the very end adds nothing", "a,", {"a"}},
        {"an empty quoted item", "\"\",x", {"", "x"}},
        {"Windows-1252 text", "\xc7\xc3O,\x80", {QStringLiteral("ÇÃO"), QStringLiteral("€")}},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(todosItens(c.bytes), c.esperado) << c.nome;
    }
}

TEST(SequentialItems, ReadsWholeLinesWithTheirCommas) {
    const CasoItens casos[] = {
        {"empty data has no lines", "", {}},
        {"CR LF, lone LF kept, lone CR", "ab, c\r\nd\ne\rf", {"ab, c", "d\ne", "f"}},
        {"blanks are kept", "  x  \r\n\r\n", {"  x  ", ""}},
        {"quotes are kept", "\"a\",b", {"\"a\",b"}},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(todasLinhas(c.bytes), c.esperado) << c.nome;
    }
}

TEST(SequentialItems, MixesItemsAndLinesAndStopsAtTheEnd) {
    SequentialItems itens("000,MNG0\r\nresto, da linha\r\n");
    EXPECT_EQ(itens.next(), "000");
    EXPECT_EQ(itens.nextLine(), "MNG0");
    EXPECT_EQ(itens.nextLine(), "resto, da linha");
    EXPECT_TRUE(itens.atEnd());
    EXPECT_EQ(itens.next(), "");
    EXPECT_EQ(itens.nextLine(), "");
    EXPECT_TRUE(itens.atEnd());
}

}  // namespace
}  // namespace ql
