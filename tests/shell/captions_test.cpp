#include <gtest/gtest.h>

#include "shell/captions.h"
#include "shell/numeric_text.h"
#include "support/test_context.h"

namespace ql {
namespace {

TEST(Captions, MainWindowAndScreenTitles) {
    test::TestContext t;
    EXPECT_EQ(TextoCaption(QString()), QStringLiteral("Quillane Client"));
    EXPECT_EQ(
        TextoCaptionPrincipal(t.ctx),
        QStringLiteral("Quillane Client            Tela 0000 - Principal              05/12/2026"));
    t.clock.set(QDateTime(QDate(2027, 1, 9), QTime(0, 0, 1)));
    EXPECT_EQ(TextoComData(t.ctx, QStringLiteral("Tela 0001 - ")),
              QStringLiteral("Tela 0001 - 09/01/2027"));
    EXPECT_EQ(DataCurta(QDate()), QString());
}

TEST(NumericText, ReadsTheLeadingNumberAndChecksTheRange) {
    struct Caso {
        const char* texto;
        double valor;
    };
    const Caso casos[] = {
        {"30", 30}, {" 0 6", 6}, {"12ab", 12}, {"-4", -4}, {"+7", 7},
        {"abc", 0}, {"", 0},     {"2.5", 2.5}, {"1,5", 1},
    };
    for (const Caso& c : casos) {
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromLatin1(c.texto)), c.valor) << c.texto;
    }
    EXPECT_EQ(toInt16(32767), std::optional<qint16>(32767));
    EXPECT_EQ(toInt16(32768), std::nullopt);
    EXPECT_EQ(toInt16(-32769), std::nullopt);
    EXPECT_EQ(toInt32(2147483647.0), std::optional<qint32>(2147483647));
    EXPECT_EQ(toInt32(2147483648.0), std::nullopt);
    EXPECT_EQ(toInt32(leadingNumber(QString(400, u'9'))), std::nullopt);
}

}  // namespace
}  // namespace ql
