#pragma once

// How the screens open one another. Each screen lives in its feature folder's screens/ and is
// reached only through these functions, so that a screen depends on the others' behaviour,
// never on their classes. Screens that open inside the main window take it; modal dialogs take
// the window they open over. Every function returns once its screen is shown (modeless) or
// closed (modal).

class QString;
class QWidget;

namespace ql {

class BusyCursor;
struct Context;
class FormPrincipal;
class GradeAutorizacao;

// ---- Sale ----

// The card identification screen (FormInicial), modeless inside the main window; when it is
// already open (hidden by a screen it opened) it is shown again and made current.
void AbreFormInicial(FormPrincipal& principal);

// The settings window of the service user "STAFF" (FormConfig), modeless; closing it shows
// the card identification screen again.
void AbreFormConfig(FormPrincipal& principal);

// The authorisation screen (FormPreVenda) in the mode ctx.TelaAtual carries ("PREVENDA" or
// "VENDA"), modeless; when it closes the card identification screen returns.
void AbreFormPreVenda(FormPrincipal& principal);

// The product entry dialog (FormSelecaoProduto), modal over `pai`, for the product the opener
// put in entry 1 of ctx.itensVenda. True when OK wrote the product into the grid.
bool ExecutaFormSelecaoProduto(Context& ctx, GradeAutorizacao& grade, QWidget* pai);

// The receipt screen (FormImpressao), modal over `pai`: the receipt lines of the last answer
// (and, after a sale, the products of ctx.itensVenda); returns after confirm or undo.
void ExecutaFormImpressao(Context& ctx, QWidget* pai);

// The till interface (TILL_DIR), when ctx.till is set: a till sale brings the main window
// forward on the card identification screen; the till's CONFIRMA / DESFAZ works the receipt
// screen as F5 / F12 would.
void LigaInterfaceCaixa(FormPrincipal& principal);

// ---- Administration ----

// The login screen (formLogin), modal; returns ctx.login.LoginAtivo when it closes.
bool ExecutaFormLogin(Context& ctx, QWidget* pai);

// The password change screen (formNovaSenha), modal; returns true when a new password was
// recorded (ctx.login.NovaSenha not empty).
bool ExecutaFormNovaSenha(Context& ctx, QWidget* pai);

// The administrative menu (FormComplementar), modeless inside the main window.
void AbreFormComplementar(FormPrincipal& principal);

// The host logon window (FormMensLogon), modal: holds off the main window's logon check,
// logs on and writes Ultimo_Login on success.
void ExecutaFormMensLogon(FormPrincipal& principal);

// The registration screen (FormCadastro), modeless; its cancel returns to the menu.
void AbreFormCadastro(FormPrincipal& principal);

// Pending transactions (FormConsulta), modeless and maximised.
void AbreFormConsulta(FormPrincipal& principal);

// Cancellation by typed NSU (FormCancela), modal.
void ExecutaFormCancela(FormPrincipal& principal);

// What follows a total or item cancellation sent from `pai`: the authorisation number when the
// host accepted it, then the answer's receipt (FormImpressao, modal over `pai`) when it carries
// lines - after a refusal too when `reciboDaRecusa`. The busy pointer of the command that sent
// it is released before the receipt screen, which is worked with the normal pointer.
void ConcluiCancelamento(Context& ctx, bool aceito, bool reciboDaRecusa, QWidget* pai,
                         BusyCursor& ocupado);

// The transactions of the lot chosen on the sales summary (FormNsu), modeless. `lote` is the
// lot number from column 1 of the summary's active row.
void AbreFormNsu(FormPrincipal& principal, const QString& lote);

// The item cancellation dialog (frmCancelaProdutos), modal, for entry 1 of ctx.itensVenda.
void ExecutaFrmCancelaProdutos(FormPrincipal& principal);

// The sales summary (FormResumo) and the financial summary (FormResumoFinanceiro), modeless.
void AbreFormResumo(FormPrincipal& principal);
void AbreFormResumoFinanceiro(FormPrincipal& principal);

// The product summary (FormResumoProdutos), modeless: the products of lot `lote` when
// ctx.TelaAtual is "PRODUTOSDOLOTE", of transaction ctx.transacao.NsuTransacao when it is
// "PRODUTOSDATRANSACAO".
void AbreFormResumoProdutos(FormPrincipal& principal, const QString& lote);

}  // namespace ql
