#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ql {

struct Context;

// The till interface's only door to the terminal store: where a sale stands, and the till's
// confirmation or undo of a sale the receipt screen no longer shows, handed to the same
// settlement that retries a cashier's lost confirmation.

struct TillStoredSale {
    QString nsu;
    QString documento;
    QString liquidacao;  // the answer's word for the sale's state (till_status)
    qint64 totalBruto = 0, totalVenda = 0, totalCliente = 0;
    QStringList recibo;
};

// The stored sale of an NSU; nothing when the store does not hold it.
std::optional<TillStoredSale> TillSaleByNsu(Context& ctx, const QString& nsu);
// The newest stored sale of a fiscal document; nothing when there is none.
std::optional<TillStoredSale> TillSaleByDocument(Context& ctx, const QString& documento);

// The till's word on a stored sale: one still authorised turns confirmation (or undo)
// pending; with enviaAgora the pending ones are sent at once when the link is free.
// Returns the sale as it stands afterwards; nothing for an NSU the store does not hold.
std::optional<TillStoredSale> TillSettleStoredSale(Context& ctx, const QString& nsu, bool confirma,
                                                   bool enviaAgora);

}  // namespace ql
