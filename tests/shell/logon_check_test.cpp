#include <gtest/gtest.h>

#include "shell/logon_check.h"
#include "support/test_context.h"

namespace ql {
namespace {

const QDateTime kAgora(QDate(2026, 12, 5), QTime(10, 0, 0));

QString formata(const QDateTime& quando) {
    return quando.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

// Due only once more whole minutes than the time-out have passed.
TEST(DecideLogon, FirstTick) {
    const struct {
        const char* nome;
        std::optional<QString> valor;
        DecisaoLogon esperado;
    } casos[] = {
        {"a year old", formata(kAgora.addYears(-1)), DecisaoLogon::LogonDevido},
        {"exactly the time-out", formata(kAgora.addSecs(-30 * 60)), DecisaoLogon::LogonEmDia},
        {"a second past the time-out", formata(kAgora.addSecs(-30 * 60 - 1)),
         DecisaoLogon::LogonEmDia},
        {"one whole minute past", formata(kAgora.addSecs(-31 * 60)), DecisaoLogon::LogonDevido},
        {"in the future", formata(kAgora.addDays(2)), DecisaoLogon::LogonEmDia},
        {"not a date", QStringLiteral("ontem"), DecisaoLogon::LogonDevido},
        {"impossible date", QStringLiteral("31/02/2026 10:00:00"), DecisaoLogon::LogonDevido},
        {"without seconds", QStringLiteral("05/12/2026 09:55"), DecisaoLogon::LogonEmDia},
        {"two-digit year", QStringLiteral("05/12/26 09:55:00"), DecisaoLogon::LogonEmDia},
        {"key missing", std::nullopt, DecisaoLogon::PararTimer},
        {"key empty", QStringLiteral("   "), DecisaoLogon::PararTimer},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nome);
        EXPECT_EQ(DecideLogon(caso.valor, 30, kAgora), caso.esperado);
    }
}

// The same decision read from QlnClient.ini in the data folder, with the context's clock.
TEST(VerificaLogon, ReadsUltimoLoginFromTheSettingsFile) {
    test::TestContext t;
    t.ctx.config.TimeOut_Login = 30;
    EXPECT_EQ(VerificaLogon(t.ctx), DecisaoLogon::PararTimer);  // no file
    t.writeFile(QStringLiteral("QlnClient.ini"),
                QStringLiteral("[DADOS_GERAIS]\nUltimo_Login=05/12/2026 09:50:00\n"));
    EXPECT_EQ(VerificaLogon(t.ctx), DecisaoLogon::LogonEmDia);
}

}  // namespace
}  // namespace ql
