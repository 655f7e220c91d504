#include "admin/menu_administrativo.h"

#include <array>

#include "data/usuarios.h"
#include "host/troca.h"
#include "shell/captions.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/ini_access.h"

namespace ql {

namespace {

using C = ComandoAdministrativo;
using A = AberturaComando;

// The two spellings of the operadora check: the logon and the pending transactions begin with a
// capital letter, the other commands do not. Both end in a blank.
constexpr char16_t kAvisoMaiusculo[] = u"Selecione a Administradora ";
constexpr char16_t kAvisoMinusculo[] = u"selecione a administradora ";

constexpr std::array<RegraComandoAdministrativo, 10> kRegras = {{
    {C::Login, "cmdLogin", Qt::Key_F2, 0, nullptr, false, false, nullptr, false, A::Modal},
    {C::Cadastro, "cmdCadastro", Qt::Key_F3, int(PermissaoMenu::Cadastro), nullptr, false, true,
     kAvisoMinusculo, true, A::NaoModal},
    {C::AlterarSenha, "cmdAlterarSenha", Qt::Key_F4, 0, nullptr, false, false, nullptr, false,
     A::Modal},
    {C::ResumoFinanceiro, "cmdResumoFinanceiro", Qt::Key_F5, 0, nullptr, false, true,
     kAvisoMinusculo, true, A::NaoModal},
    {C::Resumo, "cmdResumo", Qt::Key_F6, int(PermissaoMenu::Resumo), nullptr, false, true,
     kAvisoMinusculo, true, A::NaoModal},
    {C::Canceltotal, "cmdCanceltotal", Qt::Key_F7, int(PermissaoMenu::CancelTotal), nullptr, false,
     true, kAvisoMinusculo, true, A::Modal},
    {C::Pendentes, "cmdPendentes", Qt::Key_F8, int(PermissaoMenu::Pendentes), "PENDENTES", true,
     true, kAvisoMaiusculo, true, A::Maximizada},
    {C::Logon, "cmdLogon", Qt::Key_F9, int(PermissaoMenu::Logon), "LOGON", true, true,
     kAvisoMaiusculo, true, A::Modal},
    // The pre-authorisation only needs an operadora in the list; the card identification screen
    // chooses its own.
    {C::Prevenda, "cmdPrevenda", Qt::Key_unknown, 0, "PREVENDA", false, true, kAvisoMinusculo,
     false, A::NaoModal},
    {C::Cancel, "cmdCancel", Qt::Key_Escape, 0, nullptr, false, false, nullptr, false,
     A::FechaMenu},
}};

}  // namespace

std::span<const RegraComandoAdministrativo> RegrasComandosAdministrativos() {
    return kRegras;
}

const RegraComandoAdministrativo& RegraDoComando(ComandoAdministrativo comando) {
    for (const auto& regra : kRegras) {
        if (regra.comando == comando) return regra;
    }
    return kRegras.back();
}

bool TelaAdministrativa::habilitado(ComandoAdministrativo comando) const {
    switch (comando) {
        case C::Resumo:
            return cmdResumoHabilitado;
        case C::Pendentes:
            return cmdPendentesHabilitado;
        case C::Cadastro:
            return cmdCadastroHabilitado;
        case C::Canceltotal:
            return cmdCanceltotalHabilitado;
        case C::Logon:
            return cmdLogonHabilitado;
        default:
            return true;
    }
}

TelaAdministrativa MontaTela_FormComplementar(const Context& ctx) {
    const LayoutFormComplementar& layout = ctx.telas.FormComplementar[ctx.TipoEstab];
    TelaAdministrativa tela;
    tela.lblUsuario = layout.lblUsuario.caption.trimmed();
    tela.fraIdentificacao = layout.lblFraIdentificacao.caption.trimmed();
    tela.lblAdmistradora = layout.lblAdmistradora.caption.trimmed();
    tela.lblCodigoEstab = layout.lblCodigoEstab.caption.trimmed();
    tela.lblNomeEstab = layout.lblNomeEstab.caption.trimmed();
    tela.lblNomeRede = layout.lblNomeRede.caption.trimmed();
    tela.cmdLogin = layout.CmdLogin_Caption.caption.trimmed();
    tela.cmdAlterarSenha = layout.CmdAlterarSenha_Caption.caption.trimmed();
    tela.cmdResumo = layout.CmdResumo_Caption.caption.trimmed();
    tela.cmdCanceltotal = layout.CmdCanceltotal_Caption.caption.trimmed();
    tela.cmdPendentes = layout.CmdPendentes_Caption.caption.trimmed();
    tela.cmdLogon = layout.CmdLogon_Caption.caption.trimmed();
    tela.cmdCadastro = layout.CmdCadastro_Caption.caption.trimmed();

    const qint16 tipo = ctx.TipoEstab;
    const bool tipoValido = tipo >= 1 && tipo <= 3;
    tela.txtUsuario = tipoValido ? ctx.login.UsuarioLogado[tipo].trimmed() : QString();
    // A record never loaded (a STAFF login) holds no "N" and enables every command.
    const QString permissoes = tipoValido ? ctx.login.PermissoesUsuario[tipo] : QString();
    tela.cmdResumoHabilitado = PermissaoHabilitada(permissoes, PermissaoMenu::Resumo);
    tela.cmdPendentesHabilitado = PermissaoHabilitada(permissoes, PermissaoMenu::Pendentes);
    tela.cmdCadastroHabilitado = PermissaoHabilitada(permissoes, PermissaoMenu::Cadastro);
    tela.cmdCanceltotalHabilitado = PermissaoHabilitada(permissoes, PermissaoMenu::CancelTotal);
    tela.cmdLogonHabilitado = PermissaoHabilitada(permissoes, PermissaoMenu::Logon);
    return tela;
}

QString TituloMenuAdministrativo(const Context& ctx) {
    const QDateTime agora = ctx.relogio.now();
    return QStringLiteral("Quillane Client        0002 - Administrativas     ") +
           DataCurta(agora.date()) + QLatin1Char(' ') +
           agora.time().toString(QStringLiteral("hh:mm:ss"));
}

bool EscolheAdministradora(Context& ctx, int posicao) {
    if (!ctx.operadoras.contem(posicao)) return false;
    const RegistroOperadora& registro = ctx.operadoras.at(posicao);
    ctx.ident.AdministradoraSelecionada = posicao;
    ctx.ident.NomeOperadora = registro.nome.trimmed();
    ctx.ident.CodigoOperadora = registro.codigo.trimmed();
    return true;
}

bool IniciaComandoAdministrativo(Context& ctx, ComandoAdministrativo comando,
                                 bool operadoraEscolhida) {
    const RegraComandoAdministrativo& regra = RegraDoComando(comando);
    if (regra.telaAtual && regra.telaAntesDaVerificacao)
        ctx.TelaAtual = QString::fromLatin1(regra.telaAtual);
    if (regra.verificaOperadora && !operadoraEscolhida) {
        ctx.caixas.inform(QString::fromUtf16(regra.aviso), kTituloAtencao,
                          MessageBoxes::Icon::Exclamation);
        return false;
    }
    if (regra.defineCodigoOperadora && ctx.operadoras.contem(ctx.ident.AdministradoraSelecionada))
        ctx.ident.CodigoOperadora =
            ctx.operadoras.at(ctx.ident.AdministradoraSelecionada).codigo.trimmed();
    if (regra.telaAtual && !regra.telaAntesDaVerificacao)
        ctx.TelaAtual = QString::fromLatin1(regra.telaAtual);
    return true;
}

QString TextoUltimoLogin(const QDateTime& momento) {
    return DataCurta(momento.date()) + QLatin1Char(' ') +
           momento.time().toString(QStringLiteral("hh:mm:ss"));
}

bool RealizaLogon(Context& ctx) {
    return runTrapped(ctx, "FormMensLogon_Timer1_Timer", false, [&] {
        if (!ProcessaLogon(ctx)) return false;
        GravaLinhaArquivoIni(ctx, QStringLiteral("DADOS_GERAIS"), QStringLiteral("Ultimo_Login"),
                             TextoUltimoLogin(ctx.relogio.now()), CaminhoQlnClientIni(ctx));
        return true;
    });
}

}  // namespace ql
