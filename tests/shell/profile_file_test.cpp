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
    "Msg_Approval=second section of the same name\r\n"
    "last line without a value";

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

// A write changes only its key's line, adds what is missing, and refuses (leaving the bytes
// as they were) what cannot be one line of its section.
TEST(ProfileFile, WriteChangesOnlyItsLineAndAddsWhatIsMissing) {
    struct Case {
        QByteArray before;
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;  // null: refused
    };
    const QByteArray refused;
    const Case cases[] = {
        // Comments, blanks before the key and the key's spelling stay.
        {"; c\r\n[DADOS_GERAIS]\r\n  Ultimo_Login = 01/01/2026 \r\nx=1\r\n", "dados_gerais",
         "ULTIMO_LOGIN", "05/12/2026",
         "; c\r\n[DADOS_GERAIS]\r\n  Ultimo_Login=05/12/2026\r\nx=1\r\n"},
        // A new key goes after the section's last line, before the blank line.
        {"[A]\nk=1\n\n[B]\nk=2\n", "A", "D_123", "D9", "[A]\nk=1\nD_123=D9\n\n[B]\nk=2\n"},
        {"[A]\r\nk=1", "a", "n", "2", "[A]\r\nk=1\r\nn=2\r\n"},  // no final line end
        {"[A]\nk=1\r", "A", "n", "2", "[A]\nk=1\r\nn=2\n"},      // ends at a bare CR
        {"[A]\nk=1", "B", "k", "v", "[A]\nk=1\n[B]\nk=v\n"},     // a missing section
        {"", "S", "k", "v", "[S]\r\nk=v\r\n"},
        {"[A]\nk=1\n[a]\nk=2\n", "A", "k", "3", "[A]\nk=3\n[a]\nk=2\n"},  // the first of two
        {"[A]\n[B]\n", "B", "k", "", "[A]\n[B]\nk=\n"},
        // Bytes that are not Windows-1252 text stay as they are on other lines.
        {QByteArrayLiteral("[A]\n\x81\x8D\xFF\x00junk\nk=\xE7\n"), "A", "k", "ção",
         QByteArrayLiteral("[A]\n\x81\x8D\xFF\x00junk\nk=\xE7\xE3o\n")},
        {"[A]\nk=1\n", "A", "k", "two\nlines", refused},
        {"[A]\nk=1\n", "A", "k", "carriage\rreturn", refused},
        {"[A]\nk=1\n", "", "k", "v", refused},
        {"[A]\nk=1\n", "A", " ", "v", refused},
        {"[A]\nk=1\n", "A]", "k", "v", refused},
        {"[A]\nk=1\n", "A", "k=x", "v", refused},
        {"[A]\nk=1\n", "A", ";k", "v", refused},
        {"[A]\nk=1\n", "A", "[k", "v", refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before.toStdString() + "|" + c.key + "=" + c.value);
        ProfileFile file(c.before);
        const QString section = QString::fromLatin1(c.section);
        const QString key = QString::fromLatin1(c.key);
        EXPECT_EQ(file.setValue(section, key, QString::fromUtf8(c.value)), !c.after.isNull());
        EXPECT_EQ(file.bytes(), c.after.isNull() ? c.before : c.after);
        if (c.after.isNull()) continue;
        EXPECT_EQ(file.find(section, key), QString::fromUtf8(c.value));
    }
}

}  // namespace
}  // namespace ql
