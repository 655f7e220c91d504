#pragma once

#include <QList>
#include <QString>

namespace ql {

struct Context;
class JournalModel;

// The three journal summaries of the administrative menu: the sales summary (one row per
// lot), the product summary (the products of a lot or of one transaction) and the financial
// summary. What the screens decide without widgets lives here.

// Which products the product summary shows, taken from the current screen name its opener
// set: "PRODUTOSDOLOTE" the products of the lot chosen on the sales summary; anything else
// (normally "PRODUTOSDATRANSACAO") the products of transaction NsuTransacao, the only mode in
// which items can be cancelled.
enum class ModoResumoProdutos { Lote, Transacao };
ModoResumoProdutos ModoProdutos(const QString& telaAtual);

// Journal search patterns for the operadora chosen in the administrative menu
// (ctx.ident.CodigoOperadora, trimmed) and the current establishment type; "" when the type
// is not 1, 2 or 3 (nothing can be loaded then).
QString PadraoResumoVendas(const Context& ctx);
QString PadraoResumoFinanceiro(const Context& ctx);
// The lot is the text of column 1 of the sales summary; its numeric value (0 when it is not
// a number) is written with six digits. The NSU of the transaction mode is written with
// twelve.
QString PadraoResumoProdutos(const Context& ctx, ModoResumoProdutos modo, const QString& lote);

// Numeric value of a lot or NSU text as the journal names write it: leading blanks and zeros
// dropped, digits read up to the first other character, 0 when none.
qint64 ValorChave(const QString& texto);

// CarregaDadosLote: the lot number of the row (0-based) of a loaded sales summary, column 1,
// into ctx.LoteSelecionado. A grid without rows, or a row outside it, leaves the previous lot
// in place and gives false.
bool CarregaDadosLote(Context& ctx, const JournalModel& grade, int linha);

// The main window's title of a summary: the screen's title text directly followed by the
// clock's date and time, "dd/MM/yyyy hh:mm:ss".
QString TituloComDataHora(const Context& ctx, const QString& titulo);

// Item cancellation from the product summary: rebuilds ItensVenda from the selected rows
// (0-based, any order) of the transaction's products and tells whether the item
// cancellation dialog opens, which it does only for exactly one copied item.
bool SelecionaItemCancelamento(Context& ctx, const JournalModel& grade,
                               const QList<int>& linhasSelecionadas);

}  // namespace ql
