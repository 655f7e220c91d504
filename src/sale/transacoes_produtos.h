#pragma once

#include <QString>

namespace ql {

struct Context;
class GradeAutorizacao;
class ResultadoConsulta;

// Products per sale-generation message.
inline constexpr int kProdutosPorPagina = 12;

// Asks the host for the products matching a search text (pagina 0 first, then the
// continuation the last answer gave). The result grid is emptied and refilled, ItensVenda
// entries 1..count take the products, ctx.continuacaoConsulta takes 900-000. A refused
// query for a numeric text gives one local item with that code (priced by the lookup when
// the identification component is off); for any other text nenhumProdutoEncontrado is set.
// When the first product is not in the authorisation grid (grade, when given) and the
// identification component is off, its prices are refreshed by the lookup. True when there
// are products to offer.
bool Mensagem_Consulta_Produtos(Context& ctx, const QString& busca, qint16 pagina,
                                ResultadoConsulta& consulta,
                                const GradeAutorizacao* grade = nullptr);

// Appends the products of a pre-authorisation, returned in the eligibility answer, after
// row primeiraLinha of the grid. True when the answer could be read.
bool Recupera_Pre(Context& ctx, GradeAutorizacao& grade, int primeiraLinha);

// Writes the host's verdict for the products of one sale-generation page (rows after
// primeiraLinha) back into the grid and ItensVenda. A refused product's row turns red.
bool Retorna_Status_Produtos(Context& ctx, GradeAutorizacao& grade, int primeiraLinha);

// Sends ItensVenda as a pre-authorisation (pre-sale) or as the sale of an authorised
// pre-sale ("VENDA", with the fiscal document), in pages of 12 products. Each answered page
// updates the grid. True when the last answered page was accepted; NsuTransacao then takes
// the answer's 012-000 when it has one.
bool Mensagem_GeracaoPre(Context& ctx, GradeAutorizacao& grade, const QString& documento);

}  // namespace ql
