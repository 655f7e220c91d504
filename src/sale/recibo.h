#pragma once

#include <QString>
#include <QStringList>

#include "sale/itens_venda.h"

namespace ql {

struct Context;

// Width of a receipt line when its values fit their columns.
inline constexpr int kLarguraLinhaRecibo = 38;
// The rule line under the products.
inline constexpr char kReguaRecibo[] = "______________________________________";
// The second header line, over the amounts.
inline constexpr char kCabecalhoValoresRecibo[] = "Qtd Prc.Brt.  % Desc. Prc.Liq. Prc.Rec";

// The first header line: "Código" in 14, then "Descrição" in 21 (19 blanks when the first
// product has no description, nothing when the list is empty), then "Emb".
QString CabecalhoProdutosRecibo(const ItensVenda& itens);

// A product of the receipt, in two lines: code (14), description (22) and packaging (2)
// left-aligned; quantity (3), gross price (9), discount (8), net price (9) and customer
// payment (9) right-aligned. Values are trimmed first. Code and description are cut to their
// columns; a longer quantity, packaging or amount is written whole (without fill), so that
// the line grows rather than loses a digit.
QStringList LinhasProdutoRecibo(const ItemVenda& item);

// The products of a sale as the receipt lists them: the two header lines; then for each item
// of the list a blank line followed, unless the host refused the item (status 40 or more), by
// its two lines; then the rule line.
QStringList LinhasProdutosRecibo(const ItensVenda& itens);

// The receipt text the host sent in the last answer: lines 0 to n (n = the announced count,
// both ends included), each as received; an absent line is "".
QStringList LinhasHostRecibo(Context& ctx);

// PreencheImpressao: what the receipt screen lists. The products come first when the receipt
// layout of the current establishment type lists them ("lstImpressaoProdutos" = "Y") and the
// current screen is a sale ("VENDA"); the host's receipt text always follows.
QStringList PreencheImpressao(Context& ctx);

}  // namespace ql
