#include "till/till_store.h"

#include "shell/context.h"
#include "shell/support_log.h"
#include "store/settlement.h"
#include "store/terminal_store.h"
#include "till/till_format.h"

namespace ql {

namespace {

QString palavra(EstadoVenda e) {
    switch (e) {
        case EstadoVenda::Autorizada:
            return QLatin1String(till_status::kAguardando);
        case EstadoVenda::Confirmada:
            return QLatin1String(till_status::kConfirmada);
        case EstadoVenda::Desfeita:
            return QLatin1String(till_status::kDesfeita);
        // Sent with no answer yet: the settlement undoes it, as it sends the pending ones.
        case EstadoVenda::Enviada:
        case EstadoVenda::ConfirmacaoPendente:
        case EstadoVenda::DesfazimentoPendente:
            return QLatin1String(till_status::kPendente);
        case EstadoVenda::Recusada:
            return QLatin1String(till_status::kRecusada);
    }
    return {};
}

TillStoredSale deVenda(const VendaRegistrada& v) {
    return {v.nsu,
            v.documentoFiscal,
            palavra(v.estado),
            v.totalBrutoCentavos,
            v.totalVendaCentavos,
            v.totalClienteCentavos,
            v.recibo};
}

}  // namespace

std::optional<TillStoredSale> TillSaleByNsu(Context& ctx, const QString& nsu) {
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return std::nullopt;
    const std::optional<VendaRegistrada> v = store->venda(nsu);
    if (!v) return std::nullopt;
    return deVenda(*v);
}

std::optional<TillStoredSale> TillSaleByDocument(Context& ctx, const QString& documento) {
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return std::nullopt;
    const std::vector<VendaRegistrada> todas = store->vendasNosEstados(
        {EstadoVenda::Enviada, EstadoVenda::Autorizada, EstadoVenda::Confirmada,
         EstadoVenda::Desfeita, EstadoVenda::ConfirmacaoPendente, EstadoVenda::DesfazimentoPendente,
         EstadoVenda::Recusada});
    for (auto it = todas.rbegin(); it != todas.rend(); ++it)
        if (it->documentoFiscal == documento.trimmed()) return deVenda(*it);
    return std::nullopt;
}

std::optional<TillStoredSale> TillSettleStoredSale(Context& ctx, const QString& nsu, bool confirma,
                                                   bool enviaAgora) {
    TerminalStore* store = ArmazemTerminal(ctx, false);
    if (!store) return std::nullopt;
    const std::optional<VendaRegistrada> v = store->venda(nsu);
    if (!v) return std::nullopt;
    // Only a sale still waiting for its word turns pending; a settled one stays as it is.
    if (v->estado == EstadoVenda::Autorizada && LiquidaVenda(ctx, v->nsu, confirma))
        RegistraLog(ctx, QStringLiteral("venda NSU %1: %2 pedido pelo caixa")
                             .arg(v->nsu, confirma ? QStringLiteral("confirmação")
                                                   : QStringLiteral("desfazimento")));
    if (enviaAgora) LiquidaPendentes(ctx);
    return TillSaleByNsu(ctx, nsu);
}

}  // namespace ql
