#pragma once

#include <QString>

#include <optional>

#include "data/operadoras.h"

namespace ql {

struct Context;
class GradeAutorizacao;

// The boxes of the product entry dialog that the cashier fills or that follow from them.
enum class CampoSelecao { Nenhum, Quantidade, PrecoBruto, Desconto, Complemento };

// Their texts as the dialog holds them.
struct TextosSelecao {
    QString quantidade;
    QString precoBruto;
    QString desconto;
    QString precoLiquido;
    QString valorReceber;
    QString complemento;
};

// The outcome of checking the dialog's boxes: the message to show ("" when all is well) and
// the box that gets the focus back.
struct FalhaValidacao {
    QString mensagem;
    CampoSelecao campo = CampoSelecao::Nenhum;
    bool operator==(const FalhaValidacao&) const = default;
};

// The checks of the dialog's boxes, in order: quantity of at least 1, a numeric discount below
// 100 (after rounding to cents), a numeric gross price, a net price above 0,00 and, when the
// complementary field is shown (complemento not null), a numeric text (an empty one is not)
// for a type "N" field and at least the minimum length. Nothing when every check passes.
std::optional<FalhaValidacao> VerificaCamposSelecao(const TextosSelecao& textos,
                                                    const CampoAdicional* complemento);

// Net price of a gross price less a discount percentage, "0.00"; nothing when either text is
// not a number.
std::optional<QString> CalculaPrecoLiquido(const QString& bruto, const QString& desconto);

// The customer payment for a new net price, keeping the ratio between the payment and the net
// price the product was loaded with; nothing when the new net price is not a number or the
// loaded net price is 0 (no ratio to keep).
std::optional<QString> ValorReceberProporcional(const QString& novoLiquido,
                                                const QString& valorReceberCarregado,
                                                const QString& liquidoCarregado);

// True when both texts are numbers and the discount is below the one loaded with the product.
bool DescontoMenorQueOriginal(const QString& desconto, const QString& descontoCarregado);

// What the product entry dialog shows when it opens.
struct ApresentacaoSelecao {
    // Captions of the current establishment type's layout, trimmed.
    QString lblDescr_Produto, lblFabricante, lblQtd_Canc, lblValDescPrd, lblEmbalagem, lblValBrtPrd,
        lblValLiqPrd, lblValCredPrd;
    int maxQuantidade = 0;  // 0 = no limit
    bool cmdOkHabilitado = false;
    bool cmdCancelHabilitado = false;
    QString cmdOkCaption, cmdCancelCaption;

    QString produto;  // code, or code + " - " + description when the price lookup priced it
    QString fabricante;
    bool fabricanteVisivel = false;
    QString embalagem;
    TextosSelecao textos;

    // The operadora's complementary field.
    bool complementoVisivel = false;
    QString lblCompl1;
    int maxComplemento = 0;  // 0 = no limit

    bool precoBrutoEditavel = false;
    bool descontoEditavel = false;

    // Dialog height and the top of its buttons, in twips (15 to a pixel).
    int alturaTwips = 0;
    int topoBotoesTwips = 0;
};

// Heights of the dialog with and without the complementary field.
inline constexpr int kAlturaComComplemento = 4215;
inline constexpr int kTopoBotoesComComplemento = 3120;
inline constexpr int kAlturaSemComplemento = 3510;
inline constexpr int kTopoBotoesSemComplemento = 2520;

// The logic of one opening of the product entry dialog (FormSelecaoProduto), which works on
// entry 1 of ItensVenda and writes into the authorisation grid. The dialog copies its boxes
// into these calls and shows what they return; messages go through ctx.caixas.
class SelecaoProduto {
  public:
    explicit SelecaoProduto(Context& ctx);

    // PreencheCampos: refreshes the product's prices through the price lookup (entry 1 takes
    // what it rewrites) and gives what the dialog shows: captions and rules of the layout,
    // the product's values, the complementary field of the chosen operadora (hidden for a
    // retrieved pre-authorisation) and which prices may be edited.
    ApresentacaoSelecao PreencheCampos();

    // The operadora's complementary field when the dialog shows it, else null.
    const CampoAdicional* complemento() const {
        return complementoVisivel_ ? &complemento_ : nullptr;
    }

    // On leaving the discount box: a discount below the one loaded with the product is told
    // ("Não é permitido desconto menor que o desconto original!") and replaced by the loaded
    // one; false then (the focus stays and the net price is not recomputed).
    bool AceitaDesconto(QString& desconto);

    // CalculaValorReceberLoja: the customer payment for a changed net price.
    std::optional<QString> CalculaValorReceberLoja(const QString& novoLiquido) const;

    // ValidaCampos: shows the first failed check ("Atenção", critical icon) and says which box
    // gets the focus; true when every check passed.
    bool ValidaCampos(const TextosSelecao& textos, CampoSelecao* foco = nullptr);

    // The dialog's own ValidaProduto_Grid_Pre: the grid row the product goes to (0 = leave the
    // grid alone). A product not in the grid gets the next free row; one already there is
    // overwritten after the cashier agrees (chosen from the product query) or, for a
    // retrieved pre-authorisation, only when the quantity typed does not exceed the row's.
    int ValidaProduto_Grid_Pre(const GradeAutorizacao& grade, const QString& quantidade);

    // PrencherGridPre: writes entry 1 into the row (growing the grid when the row is past the
    // last); columns 10 and 12 keep their content. False, with the grid unchanged, for row 0.
    bool PrencherGridPre(GradeAutorizacao& grade, int linha);

    enum class ResultadoOk { Recusado, Gravado, NaoGravado };
    // cmdOk_Click: when the boxes pass ValidaCampos, entry 1 takes them (amounts as "0.00")
    // and the grid row chosen by ValidaProduto_Grid_Pre is written. Recusado keeps the dialog
    // open (foco says where); the other two close it.
    ResultadoOk cmdOk_Click(const TextosSelecao& textos, GradeAutorizacao& grade,
                            CampoSelecao* foco = nullptr);

  private:
    Context& ctx_;
    CampoAdicional complemento_;
    bool complementoVisivel_ = false;
    // The values entry 1 held after the price lookup.
    QString descontoCarregado_;
    QString liquidoCarregado_;
    QString receberCarregado_;
};

}  // namespace ql
