// The support log: card numbers and tracks never reach it, every error routine message does
// (also when TipoLog keeps it off the screen), one file a day, old files removed.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "shell/error_routine.h"
#include "shell/support_log.h"
#include "support/test_context.h"

namespace ql {
namespace {

TEST(LogSuporte, CardNumbersAndTracksAreMasked) {
    struct Caso {
        const char* entrada;
        const char* saida;
    };
    const Caso casos[] = {
        {"cartao 6062820000000004 recusado", "cartao 606282******0004 recusado"},
        {";6062820000000004=28121010000012345678?", ";606282******0004=<trilha omitida>"},
        {"%B6062820000000004^SILVA/MARIA^2812101", "%B606282******0004=<trilha omitida>"},
        {"953-000=6062820000000004;012-000=000000000777;",
         "953-000=606282******0004;012-000=000000000777;"},
        {"1234567890123456789012", "123456************9012"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.entrada);
        EXPECT_EQ(MascaraDadosCartao(QString::fromLatin1(c.entrada)), QString::fromLatin1(c.saida));
    }
}

TEST(LogSuporte, OneFileADayWithEveryErrorAndNinetyDaysKept) {
    test::TestContext t;
    t.ctx.config.TipoLog = QStringLiteral("A");
    const QDir dir(DiretorioLog(t.ctx));
    ASSERT_TRUE(QDir().mkpath(dir.path()));
    for (const char* nome : {"2026-09-05.log", "2026-09-06.log", "notas.txt"}) {
        QFile f(dir.filePath(QString::fromLatin1(nome)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    RegistraInicioPrograma(t.ctx, QStringLiteral("9.9"));
    MostraErro(t.ctx, QStringLiteral("Mensagem_Confirmacao"), TextoErro(11));
    t.clock.advanceSecs(24 * 3600);
    RegistraLog(t.ctx, QStringLiteral("no dia seguinte"));

    EXPECT_TRUE(t.boxes.empty());
    EXPECT_EQ(dir.entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("2026-09-06.log"), QStringLiteral("2026-12-05.log"),
                           QStringLiteral("2026-12-06.log"), QStringLiteral("notas.txt")}));
    QFile hoje(dir.filePath(QStringLiteral("2026-12-05.log")));
    ASSERT_TRUE(hoje.open(QIODevice::ReadOnly));
    const QStringList linhas = QString::fromUtf8(hoje.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(linhas.size(), 2);
    EXPECT_TRUE(
        linhas[0].startsWith(QStringLiteral("2026-12-05 10:00:00.000 início do programa, "
                                            "versão 9.9;")));
    EXPECT_EQ(linhas[1],
              QStringLiteral(
                  "2026-12-05 10:00:00.000 erro em Mensagem_Confirmacao: 11 - Divisão por zero"));
}

}  // namespace
}  // namespace ql
