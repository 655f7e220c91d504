#pragma once

#include <QString>

#include "sale/grade_autorizacao.h"

namespace ql {

struct Context;
struct InputFieldSlot;
class TabelaTexto;

// The rules of the authorisation screen (FormPreVenda) and of the product query screen
// (FormConsultaProdutos) that do not depend on widgets: what a typed search does, the product
// search itself, the checks before a list is sent, the totals, the approval notice and the
// copy of a grid row into the item entry the product entry dialog edits.

// Title of the authorisation screen in each mode; the date follows.
inline constexpr char kTituloAutorizacao[] = "Quillane Client      Tela 0011 - Autorização    ";
inline constexpr char kTituloPreAutorizacao[] =
    "Quillane Client      Tela 0011 - Pre-Autorização    ";
// Title of the product query screen; the date and time follow.
inline constexpr char kTituloConsultaProdutos[] =
    "Quillane Client      Tela 0010 - Consulta Produtos    ";

// The longest product code a search may hold.
inline constexpr int kMaxDigitosCodigo = 13;

// The main window's caption for the authorisation screen (title and date).
QString TituloPreVenda(const Context& ctx);
// The main window's caption for the product query screen (title, date and time).
QString TituloConsultaProdutos(const Context& ctx);

// What a typed search text asks for.
enum class TipoPesquisa {
    Vazia,           // nothing but blanks
    CodigoLongo,     // digits only, more than 13 of them
    CodigoCatalogo,  // digits only, fewer than 13, with the identification component on: the
                     // catalogue's EAN read may give the product's code first
    Consulta,        // anything else goes to the host's product query
};
TipoPesquisa ClassificaPesquisa(const QString& texto, bool identificaCartaoDS);

// How a product search ended.
enum class ResultadoPesquisa {
    Invalida,       // the text was refused (message shown)
    FalhaCatalogo,  // the catalogue's EAN read failed (its message shown)
    NaoEncontrado,  // the query found nothing ("Produto não encontrado!" shown)
    Adicionado,     // exactly one product: it is in the grid (new row or one more unit)
    Escolher,       // several products (or more pages): the cashier chooses on the query screen
};

struct Pesquisa {
    ResultadoPesquisa resultado = ResultadoPesquisa::Invalida;
    int linha = 0;  // the grid row added to or increased, for Adicionado
    QString texto;  // what the host was asked for (the catalogue's code may replace the EAN)
};

// The product search of the authorisation screen (cmdPesquisa_Click without its widgets):
// checks the text, lets the catalogue turn a short EAN into the product's code when the
// identification component is on, asks the host (and its continuation pages while fewer than
// 12 products came and more follow), and puts a single product found straight into the
// grid. Messages are shown through ctx.caixas; the query's results stay in `consulta` for the
// query screen.
Pesquisa PesquisaProduto(Context& ctx, const QString& texto, ResultadoConsulta& consulta,
                         GradeAutorizacao& grade);

// Why a list cannot be sent yet (cmdConfirma_Click, before anything is sent).
enum class FocoConfirmacao { Nenhum, Grade, DocumentoFiscal };
struct VerificacaoConfirmacao {
    QString mensagem;  // empty when the list may be sent
    FocoConfirmacao foco = FocoConfirmacao::Nenhum;
    bool ok() const { return mensagem.isEmpty(); }
};
// The list must have products; in a sale the fiscal document number must be given, as long
// as the layout asks (minimum length) and of digits only when the layout's kind is "N".
VerificacaoConfirmacao VerificaConfirmacao(int linhas, bool modoVenda, const QString& documento,
                                           const InputFieldSlot& regraDocumento);

// The totals shown under the grid, each with two decimals ("0,00").
struct TextosTotais {
    QString venda;      // sale price × quantity
    QString cliente;    // customer payment × quantity ("Total a Receber LJ")
    QString beneficio;  // gross total − sale total
};
TextosTotais CalculaTotais(const GradeAutorizacao& grade);

// The approval notice after an accepted list: Msg_Approval, a blank and the transaction
// number; empty when there is no number (or it is 0) or no notice is configured.
QString MensagemAprovacao(const Context& ctx);

// Where ObtemProduto copies from.
enum class OrigemProduto {
    PreVenda,  // the authorisation grid ("PREVENDA")
    Consulta,  // the product query result grid ("CONSULTA")
};
// ObtemProduto: resets ItensVenda to a single empty entry and copies row `linha` of the grid
// into it (the query grid's product gets quantity "1"; the status stays empty). False, with
// the entry left empty, when the row is outside the grid.
bool ObtemProduto(Context& ctx, const TabelaTexto& grade, int linha, OrigemProduto origem);

// Whether a key on the query screen's grid asks for the next page: Down arrow or Page Down
// while the active row (1-based) is the last one.
bool PedeProximaPagina(int linhaAtiva, int linhas, int teclaQt);

// True when the last product query announced more results (continuation value not 0).
bool ConsultaTemContinuacao(const Context& ctx);

}  // namespace ql
