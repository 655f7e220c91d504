#pragma once

#include <QString>

namespace ql {

struct Context;

// Message types and processing codes of the transactions.
namespace tipo {
inline constexpr char kPedido[] = "0100";  // eligibility, product query, pre-sale
inline constexpr char kVenda[] = "0200";   // sale, cancellation
inline constexpr char kConfirmacao[] = "0202";
inline constexpr char kAnulacao[] = "0420";  // undo (reversal)
inline constexpr char kCadastro[] = "0800";  // registration update
}  // namespace tipo

// True when the current screen works in sale mode ("VENDA"), false for a pre-sale.
bool ModoVenda(const Context& ctx);

// Starts a new message with the fields every request carries: message type, processing
// code, sequence "1111", the route, the host reference (12 digits; left out when referencia
// is ""), "003", ESTAB_CODE, the terminal identifier, the local time "hhmmss" and the date
// "MMdd". Empties the message buffer first. True when the fields were added.
bool MontaCamposComuns(Context& ctx, const QString& tipoMensagem,
                       const QString& codigoProcessamento, const QString& referencia);

// Field 949-000 from the card identification screen's two additional texts: each present
// text as its length in two digits followed by the text; "" when both are empty.
QString DadosIdentificacao(const QString& campo1, const QString& campo2);

// The cardholder eligibility request. sequencia 0 for the first request; in a sale a
// non-zero value asks for the continuation announced in field 900-000 of the last answer.
// True when the host approved; NsuTransacao then holds the answer's 012-000.
bool Mensagem_ElegPortador(Context& ctx, qint16 sequencia);

// Processing code of a confirmation or undo, by the current screen and, for pending
// transactions, the journal record type and status of the selected transaction.
QString CodigoProcessamentoConfirmacao(const Context& ctx);
// Processing code of a cancellation, by the journal record type.
QString CodigoProcessamentoCancelamento(const Context& ctx);

// Confirms the transaction NsuTransacao. True when accepted.
bool Mensagem_Confirmacao(Context& ctx);
// Undoes the transaction NsuTransacao. True unless the host answered and refused; a link
// failure shows nothing and gives true.
bool Mensagem_Anulacao(Context& ctx);
// Cancels the transaction NsuTransacao: wholly (total) or the items of ItensVenda. True when
// accepted; NsuTransacao then takes the answer's 012-000 when it has one.
bool Mensagem_Cancelamento(Context& ctx, bool total);

// Tells the host the distributor the store is registered with for an administrator and, once
// accepted, remembers it in QlnClient.ini (DADOS_GERAIS, "DISTRIBUIDORA_" + administrator).
bool Mensagem_Alteracao_Cadastral(Context& ctx, const QString& distribuidor,
                                  const QString& administradora);

// Receipt text of the answer: number of lines (028-000, 0 when absent) and line n (029-nnn,
// as received, blanks kept; "" when absent).
qint16 GetQtdLinha(Context& ctx);
QString GetLinhaImpressao(Context& ctx, int n);

}  // namespace ql
