#include <gtest/gtest.h>

#include "shell/logon_check.h"
#include "support/test_context.h"

namespace ql {
namespace {

const QDateTime kAgora(QDate(2026, 12, 5), QTime(10, 0, 0));

QString formata(const QDateTime& quando) {
    return quando.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

TEST(DecideLogon, FirstTick) {
    const struct {
        const char* nome;
        std::optional<QString> valor;
        qint32 timeOut;
        DecisaoLogon esperado;
    } casos[] = {
        {"a year old", formata(kAgora.addYears(-1)), 30, DecisaoLogon::LogonDevido},
        {"ten minutes old", formata(kAgora.addSecs(-600)), 30, DecisaoLogon::LogonEmDia},
        {"exactly the time-out", formata(kAgora.addSecs(-30 * 60)), 30, DecisaoLogon::LogonEmDia},
        {"a second past the time-out", formata(kAgora.addSecs(-30 * 60 - 1)), 30,
         DecisaoLogon::LogonEmDia},
        {"one whole minute past", formata(kAgora.addSecs(-31 * 60)), 30, DecisaoLogon::LogonDevido},
        {"not a date", QStringLiteral("ontem"), 30, DecisaoLogon::LogonDevido},
        {"impossible date", QStringLiteral("31/02/2026 10:00:00"), 30, DecisaoLogon::LogonDevido},
        {"date only", QStringLiteral("04/12/2026"), 30, DecisaoLogon::LogonDevido},
        {"without seconds", QStringLiteral("05/12/2026 09:55"), 30, DecisaoLogon::LogonEmDia},
        {"two-digit year", QStringLiteral("05/12/26 09:55:00"), 30, DecisaoLogon::LogonEmDia},
        {"month out of range", QStringLiteral("05/13/2026 09:55:00"), 30,
         DecisaoLogon::LogonDevido},
        {"ISO form", QStringLiteral("2026-12-05 09:55:00"), 30, DecisaoLogon::LogonDevido},
        {"in the future", formata(kAgora.addDays(2)), 30, DecisaoLogon::LogonEmDia},
        {"time-out zero, one minute old", formata(kAgora.addSecs(-60)), 0,
         DecisaoLogon::LogonDevido},
        {"key missing", std::nullopt, 30, DecisaoLogon::PararTimer},
        {"key empty", QStringLiteral("   "), 30, DecisaoLogon::PararTimer},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nome);
        EXPECT_EQ(DecideLogon(caso.valor, caso.timeOut, kAgora), caso.esperado);
    }
}

// Ticks once a minute from a logon ten minutes old: nothing is due until 30 whole minutes have
// passed; the first due tick is the one after.
TEST(DecideLogon, DueOnlyAfterTheTimeOutHasFullyPassed) {
    const QString ultimo = formata(kAgora.addSecs(-600));
    int primeiroDevido = -1;
    for (int minuto = 0; minuto <= 40 && primeiroDevido < 0; ++minuto) {
        const QDateTime tique = kAgora.addSecs(60 * minuto);
        if (DecideLogon(ultimo, 30, tique) == DecisaoLogon::LogonDevido) primeiroDevido = minuto;
    }
    EXPECT_EQ(primeiroDevido, 21) << "10 minutes old + 21 ticks = 31 whole minutes > 30";

    // A value that never becomes a date asks at every tick.
    for (int minuto = 0; minuto < 5; ++minuto) {
        EXPECT_EQ(DecideLogon(QStringLiteral("x"), 30, kAgora.addSecs(60 * minuto)),
                  DecisaoLogon::LogonDevido);
    }
}

// The same decision read from QlnClient.ini in the data folder, with the context's clock.
TEST(VerificaLogon, ReadsUltimoLoginFromTheSettingsFile) {
    const struct {
        const char* nome;
        const char* arquivo;
        DecisaoLogon esperado;
    } casos[] = {
        {"a year old", "[DADOS_GERAIS]\nUltimo_Login=05/12/2025 10:00:00\n",
         DecisaoLogon::LogonDevido},
        {"ten minutes old", "[dados_gerais]\nultimo_login = 05/12/2026 09:50:00\n",
         DecisaoLogon::LogonEmDia},
        {"not a date", "[DADOS_GERAIS]\nUltimo_Login=nunca\n", DecisaoLogon::LogonDevido},
        {"key empty", "[DADOS_GERAIS]\nUltimo_Login=\n", DecisaoLogon::PararTimer},
        {"other section", "[OUTRA]\nUltimo_Login=05/12/2026 09:50:00\n", DecisaoLogon::PararTimer},
        {"no file", nullptr, DecisaoLogon::PararTimer},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nome);
        test::TestContext t;
        t.ctx.config.TimeOut_Login = 30;
        if (caso.arquivo) {
            t.writeFile(QStringLiteral("QlnClient.ini"), QString::fromLatin1(caso.arquivo));
        }
        EXPECT_EQ(VerificaLogon(t.ctx), caso.esperado);
    }
}

}  // namespace
}  // namespace ql
