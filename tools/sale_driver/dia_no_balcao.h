#pragma once

#include <QString>

#include <functional>

namespace ql {

struct Context;

// Runs `vendas` sales of demo card 6062820000000001 (eligibility and pre-authorisation, then
// eligibility, sale and confirmation) against quillane-host (programaHost, its data in
// bancoHost), started here: every 50th sale undone, every 100th with the host killed after the
// approval and started again before the background settlement confirms it. Announces one
// "DIA ..." line of figures: resident memory after the first sale, half-way and at the end, the
// growth of the store and of the log per sale, and how many stored sales host and store agree on.
// 0 when every sale went through and all agree.
int DiaNoBalcao(Context& ctx, const QString& programaHost, const QString& bancoHost, int vendas,
                const std::function<void(const QString&)>& anuncia);

}  // namespace ql
