#pragma once

#include <QDateTime>
#include <QString>
#include <Qt>

#include <span>

namespace ql {

struct Context;

// The commands of the administrative menu (FormComplementar).
enum class ComandoAdministrativo {
    Login,             // cmdLogin, F2
    Cadastro,          // cmdCadastro, F3
    AlterarSenha,      // cmdAlterarSenha, F4
    ResumoFinanceiro,  // cmdResumoFinanceiro, F5
    Resumo,            // cmdResumo, F6
    Canceltotal,       // cmdCanceltotal, F7
    Pendentes,         // cmdPendentes, F8
    Logon,             // cmdLogon, F9
    Prevenda,          // cmdPrevenda, no key
    Cancel,            // cmdCancel, Esc
};

// How a command reaches its screen.
enum class AberturaComando {
    Modal,       // a dialog over the menu
    NaoModal,    // a screen inside the main window, beside the menu
    Maximizada,  // a screen inside the main window, maximised
    FechaMenu,   // the menu closes first
};

// What each command of the menu does before it opens its screen.
struct RegraComandoAdministrativo {
    ComandoAdministrativo comando;
    const char* controle;         // the button's name, e.g. "cmdLogon"
    Qt::Key tecla;                // its function key; Qt::Key_unknown = none
    int permissao;                // position in the permission string that governs it; 0 = none
    const char* telaAtual;        // current screen name it sets; nullptr = left as it is
    bool telaAntesDaVerificacao;  // the name is set even when the operadora check fails
    bool verificaOperadora;       // needs an operadora chosen in the list
    const char16_t* aviso;        // the text when none is chosen
    bool defineCodigoOperadora;   // CodigoOperadora is set again from the chosen record
    AberturaComando abertura;
};

// Every command in the menu's own order.
std::span<const RegraComandoAdministrativo> RegrasComandosAdministrativos();
const RegraComandoAdministrativo& RegraDoComando(ComandoAdministrativo comando);

// What the menu shows for the current establishment type and logged user: its captions (the
// configured per-type texts; a text the layout leaves empty keeps the menu's own caption, so
// that a command the permissions enable never shows a blank button), the user name and the
// five commands the permission string governs.
struct TelaAdministrativa {
    QString lblUsuario, fraIdentificacao, lblAdmistradora, lblCodigoEstab, lblNomeEstab,
        lblNomeRede;
    QString cmdLogin, cmdAlterarSenha, cmdResumo, cmdCanceltotal, cmdPendentes, cmdLogon,
        cmdCadastro;
    QString txtUsuario;  // the logged user's name, trimmed
    bool cmdResumoHabilitado = true, cmdPendentesHabilitado = true, cmdCadastroHabilitado = true,
         cmdCanceltotalHabilitado = true, cmdLogonHabilitado = true;

    // Whether a command is enabled: the five above follow the permissions, the others are
    // never disabled by them.
    bool habilitado(ComandoAdministrativo comando) const;
};

TelaAdministrativa MontaTela_FormComplementar(const Context& ctx);

// The main window's title while the menu is current: the screen's title followed by the date
// and time from ctx.relogio.
QString TituloMenuAdministrativo(const Context& ctx);

// The operadora chosen in the menu's list (its position in the operator table): sets
// AdministradoraSelecionada, NomeOperadora and CodigoOperadora. False, changing nothing, for a
// position outside the table.
bool EscolheAdministradora(Context& ctx, int posicao);

// The start of a command: sets the current screen name, checks that an operadora is chosen
// (`operadoraEscolhida`: the list has a selected item), telling the operator when it is not,
// and refreshes CodigoOperadora. True when the command goes on to open its screen.
bool IniciaComandoAdministrativo(Context& ctx, ComandoAdministrativo comando,
                                 bool operadoraEscolhida);

// Ultimo_Login as the logon window writes it: "dd/MM/yyyy hh:mm:ss".
QString TextoUltimoLogin(const QDateTime& momento);

// The host logon of the logon window: ProcessaLogon and, only when the host accepted it, the
// time from ctx.relogio in Ultimo_Login of QlnClient.ini (section "DADOS_GERAIS"). True when
// the logon was accepted.
bool RealizaLogon(Context& ctx);

}  // namespace ql
