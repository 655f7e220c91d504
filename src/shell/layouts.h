#pragma once

#include <QChar>
#include <QString>

#include <array>

namespace ql {

struct Context;

// Screen layouts: captions, enabled/shown flags and input-field rules of every screen, one
// variant per establishment type (1 establishment, 2 network, 3 distributor), read once at
// start-up by MontaTela from QlnClient.ini (one section per screen, named after the screen).
//
// A layout value holds three groups of 35 characters starting at positions 1, 36 and 71, one
// per establishment type. Inside a group:
//   command      position 1 "Y" = enabled (shown, for option buttons); 6-35 caption
//   label        6-35 caption
//   input field  position 1 kind ("N" = digits only); 2-3 minimum length; 4-5 maximum
//                length (0 = no limit); 6-25 caption of the field's label
// Captions are kept cut to their slot's width (20 for input-field labels and the short labels,
// 30 otherwise) and trimmed, ready to show. A key missing from the file leaves its slots as below:
// commands disabled, captions empty, numbers 0, flags blank.
//
// Use: ctx.telas.<section>[ctx.TipoEstab].<key>, e.g.
//   ctx.telas.FormInicial[tipo].txtCartao.maxLength
//   ctx.telas.FormLogin[tipo].cmdOk_Caption.enabled / .caption
// Slots are named exactly after their keys.

// Width of the caption of each kind of slot.
inline constexpr qsizetype kLayoutCaptionWidth = 30;
inline constexpr qsizetype kLayoutFieldCaptionWidth = 20;

struct CommandSlot {
    bool enabled = false;  // "Y" at position 1; for option buttons: shown
    QString caption;
};

struct LabelSlot {
    QString caption;
};

// A label whose slot holds 20 characters (the NSU label of the authorisation screen, the labels
// of the item cancellation dialog).
struct ShortLabelSlot {
    QString caption;
};

struct InputFieldSlot {
    QChar kind = u' ';  // "N": only digits are accepted
    qint16 minLength = 0;
    qint16 maxLength = 0;  // 0 = no limit
    QString caption;       // the field's label, up to 20 characters
    bool numbersOnly() const { return kind == u'N'; }
};

// A label that also carries a two-character text at positions 4-5 of its group (the
// quantity label of the product entry dialog: the quantity field's maximum length).
struct LabelWithTextSlot {
    QString caption;
    QString secondText;  // positions 4-5, as written
    // secondText read as a whole number (blank = 0).
    qint16 secondNumber() const;
};

// A label whose group also carries, in position 1, the kind of the text box beside it ("N":
// only digits are accepted), as the product search's label does.
struct LabelWithKindSlot {
    QChar kind = u' ';
    QString caption;
    bool numbersOnly() const { return kind == u'N'; }
};

// Three entries, indexed by establishment type 1..3. Any other index reaches an entry that
// MontaTela never fills (every slot initial), so a bad type shows an empty layout instead of
// reading outside the record.
template <class Entry>
class PorTipo {
  public:
    Entry& operator[](int tipo) { return entries_[slot(tipo)]; }
    const Entry& operator[](int tipo) const { return entries_[slot(tipo)]; }

  private:
    static std::size_t slot(int tipo) { return tipo >= 1 && tipo <= 3 ? std::size_t(tipo) : 0; }
    std::array<Entry, 4> entries_{};
};

struct LayoutFormPrincipal {
    CommandSlot mnuImprimir_Caption, cmdSair_Caption;
};

struct LayoutFormConsulta {
    CommandSlot cmdConfirmaTrans_Caption, cmdAnulaTrans_Caption;
};

// The login screen's rules (also read by the card identification screen for the kind of its
// additional fields: txtUserName.kind).
struct LayoutFormLogin {
    InputFieldSlot txtUserName, txtPassword;
    CommandSlot cmdOk_Caption, cmdCancel_Caption;
};

struct LayoutFormNovaSenha {
    InputFieldSlot txtNovaSenha, txtNovaSenha2;
    CommandSlot cmdOk_Caption, cmdCancel_Caption;
};

// Captions only: the commands' enabled state comes from the operator's permissions.
struct LayoutFormComplementar {
    LabelSlot lblUsuario, lblCodigoEstab, lblNomeEstab, lblNomeRede, lblTransacoesPendentes,
        lblUltimoLote, lblFraIdentificacao, lblAdmistradora, CmdLogin_Caption,
        CmdAlterarSenha_Caption, CmdResumo_Caption, CmdCanceltotal_Caption, CmdPendentes_Caption,
        CmdLogon_Caption, CmdCadastro_Caption;
};

struct LayoutFormResumo {
    LabelSlot lblLotesDias;
    CommandSlot cmdTransacoesLote_caption, cmdProdutosLote_caption;
};

struct LayoutFormResumoProdutos {
    CommandSlot cmdCancelaItem_Caption;
};

struct LayoutFormNsu {
    LabelSlot lblLote, lblTotValorLiqVda, lblTotValorRepos, lblTotValorCredito, lblTotValorDebito;
    CommandSlot CmdCanceltotal_Caption, cmdCancelParcial_Caption;
};

struct LayoutFormPreVenda {
    InputFieldSlot lblUsuario;
    LabelSlot lblTotVen, lblTotCred, lblTotBen;
    ShortLabelSlot lblnsu;
    CommandSlot cmdAdicionaProduto_Caption, cmdConfirma_Caption, cmdExcluir_Caption,
        cmdEditar_Caption;
};

// The card identification screen's rules.
struct LayoutFormInicial {
    InputFieldSlot txtCartao;
    // One character per type at positions 1, 2, 3 of the value: "Y" shows the command.
    bool BtnPreVenda = false, cmdVenda = false, cmdAdmin = false;
    LabelSlot CmdConfirmaOper_Caption, CmdConfirmaCartao_Caption, BtnPreVenda_Caption,
        CmdVenda_Caption, CmdAdmin_Caption, CmdLimpa_Caption, fraSelecionaTipoEstab_Caption,
        fraIdentifica_Caption;
    // enabled = the option is shown.
    CommandSlot optSelecaoEstab, optSelecaoRede, optSelecaoDistribuidor, optLeitura, optDigitacao;
};

struct LayoutFormImpressao {
    // The character at position 1 of the type's group, as written ("Y" lists the products).
    QChar lstImpressaoProdutos = u' ';
    CommandSlot cmdAnula_Caption, CmdConfirma_Caption, cmdImprimir_Caption;
};

struct LayoutFormCadastro {
    LabelSlot fraSelecao, lblAdministradora, lblDistribuidora;
    CommandSlot cmdConfirma;
};

struct LayoutFormCancela {
    InputFieldSlot lblNSU;
    CommandSlot cmdOk, cmdCancel;
};

struct LayoutFormSelecaoProduto {
    LabelSlot lblDescr_Produto, lblFabricante;
    LabelWithTextSlot lblQtd_Canc;
    LabelSlot lblValDescPrd, lblEmbalagem, lblValBrtPrd, lblValLiqPrd, lblValCredPrd;
    CommandSlot cmdOk_Caption, cmdCancel_Caption;
};

struct LayoutfrmCancelaProdutos {
    ShortLabelSlot lblProduto, lblQtd;
    CommandSlot cmdOk_Caption, cmdCancel_Caption;
};

struct LayoutFormConsultaProdutos {
    LabelWithKindSlot lblProduto;  // also the kind of the authorisation screen's search box
    CommandSlot CmdPesquisa_Caption, CmdConfirma_Caption, CmdRetorna_Caption;
};

// Every screen's layout record, each named after its section of QlnClient.ini.
struct LayoutTelas {
    PorTipo<LayoutFormPrincipal> FormPrincipal;
    PorTipo<LayoutFormConsulta> FormConsulta;
    PorTipo<LayoutFormLogin> FormLogin;  // RegrasLogin
    PorTipo<LayoutFormNovaSenha> FormNovaSenha;
    PorTipo<LayoutFormComplementar> FormComplementar;
    PorTipo<LayoutFormResumo> FormResumo;
    PorTipo<LayoutFormResumoProdutos> FormResumoProdutos;
    PorTipo<LayoutFormNsu> FormNsu;
    PorTipo<LayoutFormPreVenda> FormPreVenda;
    PorTipo<LayoutFormInicial> FormInicial;  // RegrasInicial
    PorTipo<LayoutFormImpressao> FormImpressao;
    PorTipo<LayoutFormCadastro> FormCadastro;
    PorTipo<LayoutFormCancela> FormCancela;
    PorTipo<LayoutFormSelecaoProduto> FormSelecaoProduto;
    PorTipo<LayoutfrmCancelaProdutos> frmCancelaProdutos;
    PorTipo<LayoutFormConsultaProdutos> FormConsultaProdutos;
};

class ProfileFile;

// Fills the layout records from an already loaded QlnClient.ini (every section and key, in the
// fixed order); keys missing or empty leave their slots as they are.
void readLayouts(const ProfileFile& qlnClientIni, LayoutTelas& telas);

// Reads every screen's layout keys from QlnClient.ini in Path Server, section by section in a
// fixed order, into ctx.telas, and LEITOR_TYPE from CORE.ini in Path CORE (section "CONFIG")
// into ctx.config.LEITOR_TYPE (left as it is when missing). Errors are reported under
// "MontaTela"; what was read until then stays.
void MontaTela(Context& ctx);

}  // namespace ql
