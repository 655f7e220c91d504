#pragma once

#include <QString>

namespace ql {

struct Context;
class GradeAutorizacao;
class TerminalStore;

// Settlement of the sales the host approved: each is written to the terminal store before its
// receipt shows, follows every answer to its confirmation or undo, and, when the link failed,
// is confirmed or undone again in the background until the host answers. At start-up a sale
// left authorised (the program stopped with its receipt on screen) is undone.

// The terminal store of Path CORE, opened on first use and kept in the context. With criar
// false a store that does not exist yet is not made (nothing to settle): nullptr. A store
// that cannot be opened is reported through the common error routine: nullptr.
TerminalStore* ArmazemTerminal(Context& ctx, bool criar = true);

// A card number as the store and the log keep it: first six and last four digits, the rest
// "*"; a number of fewer than 11 digits keeps none.
QString MascaraCartao(const QString& numero);

// Writes the sale the host has just approved (authorisation screen in "VENDA", its answer in
// the message buffer, NsuTransacao set) as authorised: NSU, route, masked card, the grid's
// totals, fiscal document, the receipt lines and the time. False when it could not be
// written (reported through the common error routine).
bool RegistraVendaAprovada(Context& ctx, const GradeAutorizacao& grade, const QString& documento);

// How a confirmation or undo exchange ended.
enum class Desfecho {
    Aceita,       // the host accepted it
    Recusada,     // the host refused it (response code 40 to 199): final
    SemResposta,  // no answer: a link failure, an empty answer or a system error of the host
};
// Judges the answer of a confirmation (tipoMensagem "0202") or undo ("0420") in the message
// buffer, after the link returned resultado. Reads the answer without telling anyone.
Desfecho DesfechoDaTroca(Context& ctx, const QString& tipoMensagem, qint32 resultado);

// Around the confirmation or undo of NsuTransacao built in the current message: before it is
// sent, a stored sale not yet settled turns pending (so that a stop while it travels leaves
// it to be sent again); after the answer, it is settled, refused or left pending.
void MarcaEnvio(Context& ctx);
void RegistraDesfecho(Context& ctx, qint32 resultado);

// Sends again, in the background, every pending confirmation and undo (same NSU, route,
// message type and processing code), oldest first, telling the cashier nothing. Stops at the
// first one that gets no answer. Does nothing while an exchange is running or without a host
// link. The current message, the message buffer and the route are as they were afterwards.
// Returns how many got an answer.
int LiquidaPendentes(Context& ctx);

// Start-up: settled sales older than 90 days are removed; each sale still authorised is
// undone, the pending ones are sent again, and one notice names each undone sale by NSU and
// amount.
void RecuperaVendas(Context& ctx);

// Days a settled sale stays in the store.
inline constexpr int kDiasVendasLiquidadas = 90;

}  // namespace ql
