#include <gtest/gtest.h>

#include "admin/menu_administrativo.h"
#include "host/scripted_link.h"
#include "shell/ini_access.h"
#include "support/test_context.h"

namespace ql {
namespace {

using C = ComandoAdministrativo;
using Icon = MessageBoxes::Icon;

// Three operadoras, as the operator table lists them.
void preencheOperadoras(Context& ctx) {
    for (const char* nome : {"QUILLANE SAUDE", "FARMAVIDA", "BENEFICIO MAIS"}) {
        RegistroOperadora r;
        r.nome = QString::fromLatin1(nome).leftJustified(20);
        r.codigo = QStringLiteral("%1").arg(123 * (ctx.operadoras.registros.size() + 1), 8, 10,
                                            QLatin1Char('0'));
        ctx.operadoras.registros.append(r);
    }
}

TEST(MenuAdministrativo, PermissionStringGovernsExactlyFiveCommands) {
    // Enabled: Resumo, Pendentes, Cadastro, Canceltotal, Logon ('S'), from the string.
    const char* casos[][2] = {{"NNNNNNNNN", "NNNNN"},
                              {"SSN    NS", "SSNNS"},  // the demo's default group
                              {"   NNNN  ", "SSSSS"},  // positions 4-7 govern nothing
                              {"nnnnnnnnn", "SSSSS"},  // only a capital N disables
                              {"", "SSSSS"},           // never loaded (a STAFF login)
                              {"NN", "NNSSS"}};        // a short string enables the rest
    const C governados[] = {C::Resumo, C::Pendentes, C::Cadastro, C::Canceltotal, C::Logon};
    for (const auto& c : casos) {
        test::TestContext t;
        t.ctx.TipoEstab = 2;
        t.ctx.login.PermissoesUsuario[2] = QString::fromLatin1(c[0]);
        t.ctx.login.PermissoesUsuario[1] = QStringLiteral("NNNNNNNNN");  // another type's
        const TelaAdministrativa tela = MontaTela_FormComplementar(t.ctx);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(tela.habilitado(governados[i]), c[1][i] == 'S') << c[0] << " command " << i;
        for (C livre : {C::Login, C::AlterarSenha, C::ResumoFinanceiro, C::Prevenda, C::Cancel})
            EXPECT_TRUE(tela.habilitado(livre)) << c[0];
    }
}

TEST(MenuAdministrativo, CaptionsFollowTheEstablishmentTypeAndBlankWhenConfiguredBlank) {
    test::TestContext t;
    for (int tipo = 1; tipo <= 3; ++tipo) {
        LayoutFormComplementar& l = t.ctx.telas.FormComplementar[tipo];
        l.lblCodigoEstab.caption = QStringLiteral("CODIGO %1").arg(tipo);
        l.lblNomeRede.caption = QStringLiteral("REDE %1").arg(tipo);
        l.CmdLogon_Caption.caption = QStringLiteral("  F9 - Logon %1  ").arg(tipo);
        t.ctx.login.UsuarioLogado[tipo] = QStringLiteral("MNG%1").arg(tipo).leftJustified(20);
    }
    for (int tipo = 1; tipo <= 3; ++tipo) {
        t.ctx.TipoEstab = qint16(tipo);
        const TelaAdministrativa tela = MontaTela_FormComplementar(t.ctx);
        EXPECT_EQ(
            QStringList({tela.lblCodigoEstab, tela.lblNomeRede, tela.cmdLogon, tela.txtUsuario,
                         tela.lblNomeEstab, tela.cmdPendentes, tela.lblUsuario}),
            QStringList({QStringLiteral("CODIGO %1").arg(tipo), QStringLiteral("REDE %1").arg(tipo),
                         QStringLiteral("F9 - Logon %1").arg(tipo),
                         QStringLiteral("MNG%1").arg(tipo), "", "", ""}));
    }
}

TEST(MenuAdministrativo, OperadoraCheckThenTheScreenNameAndTheRefreshedCode) {
    struct Caso {
        C comando;
        const char* aviso;        // with an empty list; nullptr: needs no operadora
        const char* telaVazia;    // the current screen name afterwards, with an empty list
        const char* telaEscolha;  // and with the second operadora chosen
        bool defineCodigo;        // takes the chosen operadora's code
    };
    const char* maiuscula = "Selecione a Administradora ";
    const char* minuscula = "selecione a administradora ";
    const char* adm = "ADMINISTRATIVA";
    const Caso casos[] = {
        {C::Logon, maiuscula, "LOGON", "LOGON", true},
        {C::Pendentes, maiuscula, "PENDENTES", "PENDENTES", true},
        {C::Cadastro, minuscula, adm, adm, true},
        {C::Canceltotal, minuscula, adm, adm, true},
        {C::Resumo, minuscula, adm, adm, true},
        {C::ResumoFinanceiro, minuscula, adm, adm, true},
        {C::Prevenda, minuscula, adm, "PREVENDA", false},
        {C::Login, nullptr, adm, adm, false},
        {C::AlterarSenha, nullptr, adm, adm, false},
        {C::Cancel, nullptr, adm, adm, false},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(int(caso.comando));
        for (const bool escolhida : {false, true}) {
            test::TestContext t;
            if (escolhida) {
                preencheOperadoras(t.ctx);
                ASSERT_TRUE(EscolheAdministradora(t.ctx, 2));
            }
            t.ctx.ident.CodigoOperadora = QStringLiteral("OUTRO");
            t.ctx.TelaAtual = QStringLiteral("ADMINISTRATIVA");
            const bool avisa = !escolhida && caso.aviso;
            EXPECT_EQ(IniciaComandoAdministrativo(t.ctx, caso.comando, escolhida), !avisa);
            EXPECT_EQ(t.ctx.TelaAtual, escolhida ? caso.telaEscolha : caso.telaVazia);
            EXPECT_EQ(t.ctx.ident.CodigoOperadora,
                      escolhida && caso.defineCodigo ? "00000246" : "OUTRO");
            EXPECT_EQ(t.boxes.texts(), avisa ? QStringList{caso.aviso} : QStringList{});
            if (avisa) {
                EXPECT_EQ(t.boxes.last().icon, Icon::Exclamation);
            }
        }
    }
}

TEST(MenuAdministrativo, ChoosingAnOperadoraTakesItsTrimmedNameAndCode) {
    test::TestContext t;
    preencheOperadoras(t.ctx);
    EXPECT_TRUE(EscolheAdministradora(t.ctx, 3));
    EXPECT_EQ(t.ctx.ident.AdministradoraSelecionada, 3);
    EXPECT_EQ(t.ctx.ident.NomeOperadora, QStringLiteral("BENEFICIO MAIS"));
    EXPECT_EQ(t.ctx.ident.CodigoOperadora, QStringLiteral("00000369"));
    for (int fora : {0, 4}) EXPECT_FALSE(EscolheAdministradora(t.ctx, fora)) << fora;
    EXPECT_EQ(t.ctx.ident.AdministradoraSelecionada, 3);
}

TEST(MenuAdministrativo, TitleAndLogonTimeUseTheClock) {
    test::TestContext t;
    t.clock.set(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
    EXPECT_EQ(
        TituloMenuAdministrativo(t.ctx),
        QStringLiteral("Quillane Client        0002 - Administrativas     05/03/2026 14:07:09"));
    EXPECT_EQ(TextoUltimoLogin(QDateTime(QDate(987, 1, 2), QTime(0, 0, 0))),
              QStringLiteral("02/01/0987 00:00:00"));
}

TEST(MenuAdministrativo, LogonWritesUltimoLoginOnlyWhenAccepted) {
    struct Caso {
        qint32 resultado;      // link result
        const char* resposta;  // answer body when the link answered
        const char* mensagem;  // what the operator is told; "" = accepted
    };
    const Caso casos[] = {
        {0, "OK", ""},
        {0, "000-000=0810;009-000=00;", ""},
        {0, "000-000=0810;009-000=91;030-000=TERMINAL BLOQUEADO;", "TERMINAL BLOQUEADO"},
        {HostLink::kServidorForaDoAr, "", "164- Servidor fora do Ar."},
    };
    const QString antigo = QStringLiteral("01/01/2026 08:00:00");
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.resposta);
        test::TestContext t;
        t.clock.set(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
        test::ScriptedLink& link = test::installScriptedLink(t.ctx);
        if (caso.resultado < 0) {
            link.fail(caso.resultado);
        } else {
            link.answer(QString::fromLatin1(caso.resposta));
        }
        ASSERT_TRUE(GravaLinhaArquivoIni(t.ctx, "DADOS_GERAIS", "Ultimo_Login", antigo,
                                         CaminhoQlnClientIni(t.ctx)));
        const bool aceito = !*caso.mensagem;
        EXPECT_EQ(RealizaLogon(t.ctx), aceito);
        QString valor;
        LeLinhaArquivoIni(t.ctx, "DADOS_GERAIS", "Ultimo_Login", QString(), valor,
                          CaminhoQlnClientIni(t.ctx));
        EXPECT_EQ(valor, aceito ? QStringLiteral("05/03/2026 14:07:09") : antigo);
        if (aceito) {
            EXPECT_TRUE(t.boxes.empty()) << t.boxes.texts().join('|').toStdString();
        } else {
            ASSERT_FALSE(t.boxes.empty());
            EXPECT_EQ(t.boxes.last().text, QString::fromLatin1(caso.mensagem));
            EXPECT_EQ(t.boxes.last().icon, Icon::Critical);
        }
    }
}

}  // namespace
}  // namespace ql
