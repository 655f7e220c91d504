#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "data/checksum.h"
#include "shell/text_files.h"
#include "support/test_context.h"

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
    };
    const Case cases[] = {
        {QStringLiteral("0"), "C", chars({203})},
        {chars({203}), "D", QStringLiteral("0")},
        {chars({100}), "C", chars({255})},
        {chars({101}), "C", chars({1})},
        {QStringLiteral("AZ09"), "C", chars({220, 245, 203, 212})},
        {QStringLiteral("864209"), "c", QStringLiteral("864209")},  // mode is exact
        {QStringLiteral("ABC"), "X", QStringLiteral("ABC")},
        {QString(), "C", QString()},
    };
    for (const Case& c : cases) {
        test::TestContext t;
        QString s = c.in;
        CriptografiaSenha(t.ctx, s, QString::fromLatin1(c.modo));
        EXPECT_EQ(toCp1252(s), toCp1252(c.out)) << c.modo << " " << c.in.toStdString();
        EXPECT_TRUE(t.boxes.empty());
    }
}

TEST(CriptografiaSenha, RoundTripsEveryCodeUpTo200AndReportsImpossibleUnscramble) {
    test::TestContext t;
    QByteArray all;
    for (int c = 0; c <= 200; ++c) all.append(char(c));
    QString s = fromCp1252(all);
    CriptografiaSenha(t.ctx, s, QStringLiteral("C"));
    CriptografiaSenha(t.ctx, s, QStringLiteral("D"));
    EXPECT_EQ(toCp1252(s), all);
    EXPECT_TRUE(t.boxes.empty());

    // "D" on a text that was never scrambled: code 120 - 155 < 0 is an error; text unchanged.
    QString plain = QStringLiteral("x");
    CriptografiaSenha(t.ctx, plain, QStringLiteral("D"));
    EXPECT_EQ(plain, QStringLiteral("x"));
    ASSERT_EQ(t.boxes.shown().size(), 1u);
    EXPECT_EQ(t.boxes.last().title, QStringLiteral("ATENÇÃOCriptografiaSenha"));
    EXPECT_EQ(GeraCriptografia(t.ctx, QStringLiteral("abc"), QStringLiteral("D"), 0),
              QStringLiteral("abc"));
}

TEST(Checksum, WorkedValuesAndPositionWeights) {
    EXPECT_EQ(ChecksumDeLinhas({}), QStringLiteral("00"));
    EXPECT_EQ(ChecksumDeLinhas({QStringLiteral("ABC")}), QStringLiteral("8F"));
    EXPECT_EQ(ChecksumDeLinhas({QStringLiteral("abc")}), QStringLiteral("50"));
    // Positions run on across lines: "A" then "BC" equals "ABC".
    EXPECT_EQ(ChecksumDeLinhas({QStringLiteral("A"), QStringLiteral("BC")}), QStringLiteral("8F"));
    // 600 characters: weights restart after position 254 (position 256 weighs 1), worked out
    // by hand from the rule, not by this code.
    EXPECT_EQ(ChecksumDeLinhas(QStringList(25, QStringLiteral("MNG1,1234,QUILLANE SAUDE"))),
              QStringLiteral("78"));
    EXPECT_EQ(TextoChecksum(10), QStringLiteral("0A"));
    EXPECT_EQ(TextoChecksum(254), QStringLiteral("FE"));
    EXPECT_EQ(TextoChecksum(255), QStringLiteral("00"));
    // The 255th character weighs nothing.
    QString line(255, QLatin1Char('A'));
    const QString before = ChecksumDeLinhas({line});
    line[254] = QLatin1Char('Z');
    EXPECT_EQ(ChecksumDeLinhas({line}), before);
    line[253] = QLatin1Char('Z');
    EXPECT_NE(ChecksumDeLinhas({line}), before);
}

TEST(Checksum, StopsBeforeThe32BitSumOverflows) {
    qint32 soma = 0, posicao = 1;
    const QByteArray big(64 * 1024, char(0xFF));
    bool all = true;
    int lines = 0;
    while (all && lines < 1000) {
        all = AcumulaCheckSum(QByteArrayView(big), soma, posicao);
        ++lines;
    }
    EXPECT_FALSE(all);
    EXPECT_GT(soma, 0);
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
        {"MF.S50", "abc\r\n", true},
        // 25 lines, 600 characters: the weights past position 255 (sum worked out by hand).
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
    EXPECT_FALSE(Valida_Check_Sum_Arquivo(t.ctx, t.path(QStringLiteral("UP.S11")), cs));
    ASSERT_EQ(t.boxes.shown().size(), 1u);
    EXPECT_EQ(t.boxes.last().text, QStringLiteral("Ocorreu o erro: Arquivo ") +
                                       t.path(QStringLiteral("UP.S11")) +
                                       QStringLiteral(" não foi encontrado."));
    EXPECT_EQ(t.boxes.last().title, QStringLiteral("ATENÇÃOValida_Check_Sum_Arquivo"));
}

TEST(SobreEscreveArquivo, ReplacesTheFileUnderItsNewChecksumName) {
    test::TestContext t;
    t.writeFile(QStringLiteral("UP.S00"), QString());
    QString name = t.path(QStringLiteral("UP.S00"));
    ASSERT_TRUE(SobreEscreveArquivo(t.ctx, name, QStringLiteral("ABC")));
    EXPECT_EQ(name, t.path(QStringLiteral("UP.S8F")));
    EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("UP.S8F")});
    EXPECT_EQ(readWholeFile(name).value(), QByteArray("ABC\r\n"));
    QString cs;
    EXPECT_TRUE(Valida_Check_Sum_Arquivo(t.ctx, name, cs));

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

}  // namespace
}  // namespace ql
