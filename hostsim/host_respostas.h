#pragma once

// The building blocks the simulated host's transactions share: transaction states, answer
// heads and refusals, the control, receipt and product-record fields, and the arithmetic of
// amounts as requests state them.

#include <QString>
#include <QStringList>

#include "host_message.h"
#include "host_store.h"
#include "message/mensagem.h"

namespace ql::hostsim {

inline constexpr int kProdutosPorPagina = 12;
// Element 63 holds at most 999 characters; a sale answer's product records (45 each) share it
// with 40 characters per receipt line, and element 61 holds 38 per line.
inline constexpr int kTamanhoElemento63 = 999;
inline constexpr int kRegistroVenda = 45;
inline constexpr int kLinhaRecibo63 = 40;
inline constexpr int kMaxLinhasRecibo = 26;

// Transaction states as the store keeps them.
inline const QString kEleg = QStringLiteral("ELEGIVEL");
inline const QString kEmCurso = QStringLiteral("EM_CURSO");
inline const QString kAberta = QStringLiteral("ABERTA");
inline const QString kUtilizada = QStringLiteral("UTILIZADA");
inline const QString kPendente = QStringLiteral("PENDENTE");
inline const QString kConfirmada = QStringLiteral("CONFIRMADA");
inline const QString kDesfeita = QStringLiteral("DESFEITA");
inline const QString kCancelada = QStringLiteral("CANCELADA");

QString nsuTexto(qint64 nsu);
// An answer's head: answer type (request type + 10), processing code and field 001.
Resposta inicia(const Pedido& p);
// Response code 009-000 and, when given, the text 030-000.
void poeCodigo(Resposta& r, int cod, const QString& texto = {});
// An answer that only refuses.
Resposta recusa(const Pedido& p, int cod, const QString& texto);
// Element 60 of an ISO answer: continuation (1 character), count (2) and receipt lines (2),
// at fixed positions. The text form carries the same fields by tag.
void poeControle(Resposta& r, const QString& continuacao, int quantidade, int linhasRecibo);
// Receipt lines 029-nnn and, in ISO form, the receipt text in front of element 63's records.
void poeRecibo(Resposta& r, const QStringList& linhas);
// Product record of the eligibility, pre-authorisation and sale answers.
void poeProdutoAutorizado(Resposta& r, int j, const Item& i);
// Refusal text of an item status.
QString textoStatus(int status);

// Discount in hundredths of a percent of the list price.
int descontoCentesimos(qint64 bruto, qint64 liquido);
// An amount in cents as a request states it. A request may claim anything; amounts beyond
// what any field carries (ten digits) are cut there so that the arithmetic stays exact.
qint64 centavosDoPedido(const QString& texto);
// A page or continuation number as a request states it, kept within what the host could
// ever have sent (a negative or huge number would index or multiply out of range).
int paginaDoPedido(const QString& texto);
// What the cardholder pays of a net price when the operadora pays subsidio (hundredths of a
// percent).
qint64 valorReceber(qint64 liquido, int subsidio);

}  // namespace ql::hostsim
