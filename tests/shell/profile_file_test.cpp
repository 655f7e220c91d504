#include <gtest/gtest.h>

#include "shell/profile_file.h"
#include "shell/text_files.h"

namespace ql {
namespace {

const QByteArray kSample =
    "; settings of the store\r\n"
    "orphan=before any section\r\n"
    "[DADOS_GERAIS]\r\n"
    "TimeOut_Login=30\r\n"
    "  bMsgIso  =  Y  \r\n"
    "TIMEOUT_LOGIN=99\r\n"
    ";TipoLog=L\r\n"
    "quoted=\"  two blanks each side  \"\r\n"
    "single='x'\r\n"
    "half=\"open\r\n"
    "empty=\r\n"
    "no equals sign\r\n"
    "=no key\r\n"
    "\tTituloMensagem\t=\tATEN\xC7\xC3O\t\r\n"
    "[ FormLogin ]\r\n"
    "cmdOk_Caption=Y    OK\r\n"
    "[broken\r\n"
    "after_broken=still FormLogin\r\n"
    "[dados_gerais]\r\n"
    "Msg_Approval=second section of the same name\r\n";

TEST(ProfileFile, FindsKeysLikeTheSettingsFilesAreRead) {
    const ProfileFile file(kSample);
    struct Case {
        const char* section;
        const char* key;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"DADOS_GERAIS", "TimeOut_Login", QStringLiteral("30")},
        {"dados_gerais", "timeout_login", QStringLiteral("30")},  // case-insensitive, first wins
        {"DADOS_GERAIS", "bMsgIso", QStringLiteral("Y")},         // blanks around both sides
        {"DADOS_GERAIS", "TipoLog", std::nullopt},                // commented out
        {"DADOS_GERAIS", "quoted", QStringLiteral("  two blanks each side  ")},
        {"DADOS_GERAIS", "single", QStringLiteral("x")},
        {"DADOS_GERAIS", "half", QStringLiteral("\"open")},  // no closing quote: kept
        {"DADOS_GERAIS", "empty", QString()},
        {"DADOS_GERAIS", "no equals sign", std::nullopt},
        {"DADOS_GERAIS", "TituloMensagem", QStringLiteral("ATENÇÃO")},
        {"DADOS_GERAIS", "Msg_Approval", std::nullopt},   // only the first section counts
        {"DADOS_GERAIS", "cmdOk_Caption", std::nullopt},  // belongs to the next section
        {"FormLogin", "cmdOk_Caption", QStringLiteral("Y    OK")},
        {"FormLogin", "after_broken", QStringLiteral("still FormLogin")},
        {"", "orphan", std::nullopt},
        {"NoSuchSection", "TimeOut_Login", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(file.find(QString::fromLatin1(c.section), QString::fromLatin1(c.key)), c.expected)
            << c.section << "/" << c.key;
    }
}

TEST(ProfileFile, ReadGivesDefaultForMissingOrEmptyKeysAndCutsLongValues) {
    const QString longValue(1500, u'x');
    const ProfileFile file("[S]\nset=value\nempty=\nlong=" + toCp1252(longValue) + "\n");
    struct Case {
        const char* key;
        QString defaultValue;
        bool ok;
        QString value;
    };
    const Case cases[] = {
        {"set", QStringLiteral("d"), true, QStringLiteral("value")},
        {"missing", QStringLiteral("M"), true, QStringLiteral("M")},
        {"missing", QStringLiteral("N  "), true, QStringLiteral("N")},  // default's tail blanks
        {"missing", QString(), false, QString()},
        {"missing", QStringLiteral("   "), false, QString()},
        {"empty", QString(), false, QString()},
        {"empty", QStringLiteral("1"), true, QStringLiteral("1")},
        {"long", QString(), true, QString(1023, u'x')},
        {"missing", QString(2000, u'd'), true, QString(1023, u'd')},
    };
    for (const Case& c : cases) {
        QString value = QStringLiteral("stale");
        EXPECT_EQ(readProfileString(file, QStringLiteral("s"), QString::fromLatin1(c.key),
                                    c.defaultValue, value),
                  c.ok)
            << c.key;
        EXPECT_EQ(value, c.value) << c.key;
    }
}

TEST(ProfileFile, WriteChangesOnlyItsLineAndAddsWhatIsMissing) {
    struct Case {
        const char* name;
        QByteArray before;
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;
    };
    const Case cases[] = {
        {"replaces the value, keeping comments, blanks and the key's spelling",
         "; comment\r\n[DADOS_GERAIS]\r\n  Ultimo_Login = 01/01/2026 08:00:00 \r\nx=1\r\n",
         "dados_gerais", "ULTIMO_LOGIN", "05/12/2026 10:00:00",
         "; comment\r\n[DADOS_GERAIS]\r\n  Ultimo_Login=05/12/2026 10:00:00\r\nx=1\r\n"},
        {"adds a key after the section's last line, before the blank line",
         "[A]\nk=1\n\n[B]\nk=2\n", "A", "DISTRIBUIDORA_123", "DIST9",
         "[A]\nk=1\nDISTRIBUIDORA_123=DIST9\n\n[B]\nk=2\n"},
        {"adds a key to the last section of a file without a final line end", "[A]\r\nk=1", "a",
         "n", "2", "[A]\r\nk=1\r\nn=2\r\n"},
        {"ends a last line that stops at a bare carriage return", "[A]\nk=1\r", "A", "n", "2",
         "[A]\nk=1\r\nn=2\n"},
        {"adds a missing section at the end", "[A]\nk=1", "B", "k", "v", "[A]\nk=1\n[B]\nk=v\n"},
        {"creates the first section of an empty file", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"writes into the first of two sections of the same name", "[A]\nk=1\n[a]\nk=2\n", "A", "k",
         "3", "[A]\nk=3\n[a]\nk=2\n"},
        {"adds to an empty section right after its header", "[A]\n[B]\n", "B", "k", "",
         "[A]\n[B]\nk=\n"},
        {"keeps bytes that are not Windows-1252 text on other lines",
         QByteArrayLiteral("[A]\n\x81\x8D\xFF\x00junk\nk=\xE7\n"), "A", "k", "ção",
         QByteArrayLiteral("[A]\n\x81\x8D\xFF\x00junk\nk=\xE7\xE3o\n")},
    };
    for (const Case& c : cases) {
        ProfileFile file(c.before);
        ASSERT_TRUE(file.setValue(QString::fromLatin1(c.section), QString::fromLatin1(c.key),
                                  QString::fromUtf8(c.value)))
            << c.name;
        EXPECT_EQ(file.bytes(), c.after) << c.name;
        EXPECT_EQ(file.find(QString::fromLatin1(c.section), QString::fromLatin1(c.key)),
                  QString::fromUtf8(c.value))
            << c.name;
    }
}

TEST(ProfileFile, RefusesWritesThatCannotBeOneLine) {
    const QByteArray before = "[A]\nk=1\n";
    const std::array<std::array<const char*, 3>, 8> bad = {{
        {"A", "k", "two\nlines"},
        {"A", "k", "carriage\rreturn"},
        {"", "k", "v"},
        {"A", " ", "v"},
        {"A]", "k", "v"},
        {"A", "k=x", "v"},
        {"A", ";k", "v"},
        {"A", "[k", "v"},
    }};
    for (const auto& b : bad) {
        ProfileFile file(before);
        EXPECT_FALSE(file.setValue(QString::fromLatin1(b[0]), QString::fromLatin1(b[1]),
                                   QString::fromLatin1(b[2])))
            << b[0] << "/" << b[1];
        EXPECT_EQ(file.bytes(), before);
    }
}

}  // namespace
}  // namespace ql
