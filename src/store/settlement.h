#pragma once

#include <QString>
#include <QStringList>

namespace ql {

struct Context;
class GradeAutorizacao;
class TerminalStore;

// Settlement of the sales: the terminal store listens to the exchange (ctx.ouvinteTrocas)
// and writes each sale before its request (0200) leaves, as "sent"; the host's answer makes
// it authorised or refused; every confirmation and undo is followed to its end. What the link
// could not deliver is sent again in the background, only while the terminal is idle. At
// start-up a sale left sent or authorised (the program stopped before its confirmation) is
// undone.
//
// For other parts of the program (the till interface among them), the whole public use is:
//   ArmazemTerminal(ctx)->venda(nsu)   where a sale stands (store/terminal_store.h);
//   LiquidaVenda(ctx, nsu, confirma)   confirm or undo a stored sale through the settlement;
//   LiquidaPendentes(ctx)              send what is owed now, when the terminal is idle.
// Sending Mensagem_Confirmacao or Mensagem_Anulacao for a stored NSU is followed just the
// same: the store hears of it through the exchange.

// Installs the terminal store as the exchange's listener (when no listener is installed yet);
// the file itself is opened on first use. Called at start-up.
void LigaArmazemTerminal(Context& ctx);

// The terminal store of Path CORE, opened on first use and kept by the listener in the
// context (installed here when missing). With criar false a store that does not exist yet is
// not made (nothing to settle): nullptr. A store that cannot be opened is reported through
// the common error routine: nullptr.
TerminalStore* ArmazemTerminal(Context& ctx, bool criar = true);

// A card number as the store and the log keep it: first six and last four digits, the rest
// "*"; a number of fewer than 11 digits keeps none.
QString MascaraCartao(const QString& numero);

// Completes the sale the host has just approved (authorisation screen in "VENDA", its answer
// in the message buffer, NsuTransacao set) as authorised: NSU, route, masked card, the grid's
// totals, fiscal document, the receipt lines and the time. False when it could not be
// written (reported through the common error routine).
bool RegistraVendaAprovada(Context& ctx, const GradeAutorizacao& grade, const QString& documento);

// The receipt of the last sale the host approved and that was not undone, as stored, under a
// first line "2a VIA"; empty when the store holds none.
QStringList LinhasSegundaVia(Context& ctx);

// How an exchange of a sale, confirmation or undo ended.
enum class Desfecho {
    Aceita,       // the host accepted it
    Recusada,     // the host refused it (response code 40 to 199): final
    SemResposta,  // no answer: a link failure, an empty answer or a system error of the host
};
// Judges the answer of a sale ("0200"), confirmation ("0202") or undo ("0420") in the message
// buffer, after the link returned resultado. Reads the answer without telling anyone.
Desfecho DesfechoDaTroca(Context& ctx, const QString& tipoMensagem, qint32 resultado);

// Confirms (confirma) or undoes the stored sale nsu through the settlement: the sale turns
// pending and goes out at the next idle pass of LiquidaPendentes, which also sends it again
// until the host answers. False when the store holds no such sale or it is already settled
// (confirmed, undone or refused).
bool LiquidaVenda(Context& ctx, const QString& nsu, bool confirma);

// Sends, in the background, the pending confirmations and undos and the undo of every sale
// left "sent" (same NSU, route and processing code), oldest first, one at a time, telling the
// cashier nothing. Only while the terminal is idle: no exchange, card read or lookup running
// and no sale between its eligibility and its receipt. Connecting is bounded by
// kConexaoLiquidacaoMs; the first one that gets no answer ends the pass, and the next pass
// waits twice as long as the last (from one minute to kEsperaMaximaLiquidacaoMin) until the
// host answers again. The current message, the message buffer and the route are as they were
// afterwards. Returns how many got an answer.
int LiquidaPendentes(Context& ctx);

// Start-up: installs the store as the exchange's listener; settled sales older than 90 days
// are removed; each sale still sent or authorised is undone, the pending ones are sent again,
// and one notice names each undone sale by NSU and amount.
void RecuperaVendas(Context& ctx);

// Days a settled sale stays in the store.
inline constexpr int kDiasVendasLiquidadas = 90;
// The background settlement's bound on connecting, and its longest wait between passes.
inline constexpr int kConexaoLiquidacaoMs = 3000;
inline constexpr int kEsperaMaximaLiquidacaoMin = 16;

}  // namespace ql
