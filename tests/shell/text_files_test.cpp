#include <gtest/gtest.h>

#include <QDir>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "shell/text_files.h"

namespace ql {
namespace {

TEST(TextFiles, Cp1252GivesWhatTheCodecGivesForEveryCharacter) {
    QString diferentes;
    for (int u = 0; u < 0x10000; ++u) {
        const QString c{QChar(char16_t(u))};
        QStringEncoder codec("windows-1252");
        if (toCp1252(c) != QByteArray(codec.encode(c))) diferentes += QString::number(u, 16) + u' ';
    }
    EXPECT_EQ(diferentes, QString());
    // Characters beyond the basic plane and ones the codec drops, inside ordinary text.
    const QString misto = QStringLiteral("a\U0001F600b\uFEFFç\U000E0001€");
    QStringEncoder codec("windows-1252");
    EXPECT_EQ(toCp1252(misto), QByteArray(codec.encode(misto)));
    QByteArray todos;
    for (int i = 0; i < 256; ++i) todos.append(char(i));
    QStringDecoder decoder("windows-1252");
    EXPECT_EQ(fromCp1252(todos), QString(decoder.decode(todos)));
}

TEST(TextFiles, AtomicWriteReplacesWholeFileAndLeavesNoTemporary) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("QlnClient.ini"));
    ASSERT_TRUE(writeFileAtomically(path, "old contents\r\n"));
    ASSERT_TRUE(writeFileAtomically(path, "new\r\n"));
    EXPECT_EQ(readWholeFile(path).value(), QByteArray("new\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("QlnClient.ini")});
    // A directory that does not exist fails without creating anything.
    QString why;
    EXPECT_FALSE(writeFileAtomically(dir.filePath(QStringLiteral("no/such/x.ini")), "x", &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(readWholeFile(dir.filePath(QStringLiteral("missing"))).has_value());
}

TEST(TextFiles, PathsAcceptBothSeparatorsAndKeepCase) {
    EXPECT_EQ(nativePath(QStringLiteral("C:\\Ql\\Dados")), QStringLiteral("C:/Ql/Dados"));
    EXPECT_EQ(joinPath(QStringLiteral("/srv/Ql\\"), QStringLiteral("\\UP.S8F")),
              QStringLiteral("/srv/Ql/UP.S8F"));
    EXPECT_EQ(joinPath(QString(), QStringLiteral("a")), QStringLiteral("a"));
}

}  // namespace
}  // namespace ql
