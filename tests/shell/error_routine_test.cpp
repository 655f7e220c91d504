#include <gtest/gtest.h>

#include "shell/error_routine.h"
#include "support/test_context.h"

namespace ql {
namespace {

TEST(MostraErro, ShowsOnlyWhenTipoLogStartsWithUpperCaseM) {
    struct Case {
        const char* tipoLog;
        bool shown;
    };
    const Case cases[] = {{"M", true},  {"MSG", true}, {"Log", false},
                          {"m", false}, {"", false},   {" M", false}};
    for (const Case& c : cases) {
        test::TestContext t;
        t.ctx.config.TipoLog = QString::fromLatin1(c.tipoLog);
        MostraErro(t.ctx, QStringLiteral("ProcessaMsg"), TextoErro(6));
        ASSERT_EQ(t.boxes.shown().size(), c.shown ? 1u : 0u) << c.tipoLog;
        if (!c.shown) continue;
        EXPECT_EQ(t.boxes.last().text, QStringLiteral("Ocorreu o erro: 6 - Estouro"));
        EXPECT_EQ(t.boxes.last().title, QStringLiteral("ATENÇÃOProcessaMsg"));
        EXPECT_EQ(t.boxes.last().icon, MessageBoxes::Icon::Exclamation);
        EXPECT_EQ(t.boxes.last().buttons, MessageBoxes::Buttons::Ok);
    }
}

}  // namespace
}  // namespace ql
