#pragma once

#include <QString>

namespace ql {

struct Context;
class JournalModel;

// What the pending transactions screen, the lot transactions screen and the two cancellation
// dialogs decide without any widget: the selected transaction, the lot totals, the print title,
// the checks of the typed NSU and quantity, and the messages that close each command.

// ---- Selection ----

// The pending transaction of a data row (0-based) of the pending transactions grid: column 2
// becomes NsuTransacao, column 6 TipoTransacao and column 7 SituacaoTransacao; column 1 (the
// lot) is returned. A row outside the grid changes nothing and returns "".
QString SelecionaTransacaoPendente(Context& ctx, const JournalModel& grade, int linha);

// The transaction of a data row of a lot's transactions grid: column 2 becomes NsuTransacao and
// column 6, the type code, TipoTransacao (so that the cancellation's processing code follows
// the transaction actually chosen); column 1 (the lot) is returned. A row outside the grid
// changes nothing and returns "".
QString SelecionaTransacaoLote(Context& ctx, const JournalModel& grade, int linha);

// Whether a transaction type code allows a partial cancellation: it begins with "BC" or "BE".
bool PermiteCancelamentoParcial(const QString& tipoTransacao);

// ---- Lot totals ----

// The four totals of a lot's transactions, as the boxes show them ("0.00" in the pt-BR form).
struct TotaisLote {
    QString liquidoVenda;  // column 10
    QString reposicao;     // column 11
    QString credito;       // column 12
    QString debito;        // column 13
};

// Adds columns 10 to 13 of every data row. A cell that is not a number stops the adding there
// (the cells before it, in row and column order, stay added) and is reported through the common
// error routine under "SomaTotais".
TotaisLote SomaTotais(Context& ctx, const JournalModel& grade);

// The captions of the four total boxes, as the lot screen shows them.
struct RotulosTotais {
    QString liquidoVenda, reposicao, credito, debito;
};

// Title printed above the lot's grid: each caption (trimmed) with its total, in the order the
// lot's printed report has always used (the debit caption stands before the credit total and
// the credit caption before the debit total).
QString TituloImpressaoLote(const RotulosTotais& rotulos, const TotaisLote& totais);

// ---- Cancellation dialogs ----

// The message for an NSU shorter than the field's minimum length; "" when the length is enough.
QString ValidaCampoNsu(const QString& nsu, int tamanhoMinimo);

// Key rule of the NSU field: with a numeric field only digits, ",", Backspace and Enter get
// through (0 drops the key); any key gets through otherwise.
int TeclaCampoNsu(bool somenteNumeros, int tecla);

// Transaction type code sent with a cancellation by typed NSU: "BE" when the products go with
// it, "XX" otherwise.
QString TipoTransacaoCancelamento(bool comProdutos);

// Whether a typed quantity may be cancelled from an item of the given quantity: more than 0
// and not above the item's quantity. Both are read as whole numbers ("" is 0).
bool QuantidadeCancelamentoValida(const QString& digitada, const QString& quantidadeItem);

// The quantity proposed by the item cancellation dialog: the numeric value of the product
// list's cell, as digits ("0003" -> "3", "" -> "0").
QString QuantidadeProposta(const QString& celula);

// ---- Outcome messages ----

// "Número da autorização: " + the number, or "" when the number is empty or reads as 0.
QString TextoNumeroAutorizacao(const QString& nsu);

// Shows the authorisation number of an accepted cancellation (NsuTransacao; exclamation icon,
// title "Atenção") when there is one. True when it was shown.
bool InformaNumeroAutorizacao(Context& ctx);

// The outcome of a confirmation or undo of a pending transaction, as it is told to the
// operator: "Confirmação efetuada com sucesso!", "Anulação não foi efetuada com sucesso!", ...
QString TextoResultadoPendente(bool confirmacao, bool aceita);

}  // namespace ql
