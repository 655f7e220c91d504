#include <gtest/gtest.h>

#include "admin/menu_administrativo.h"
#include "host/scripted_link.h"
#include "shell/ini_access.h"
#include "support/test_context.h"

namespace ql {
namespace {

using C = ComandoAdministrativo;
using Icon = MessageBoxes::Icon;

// Three operadoras, the second one twice, as the operator table may list them.
void preencheOperadoras(Context& ctx) {
    auto registro = [](const char* nome, const char* codigo) {
        RegistroOperadora r;
        r.nome = QString::fromLatin1(nome).leftJustified(20);
        r.codigo = QString::fromLatin1(codigo);
        return r;
    };
    ctx.operadoras.registros = {registro("QUILLANE SAUDE", "00000123"),
                                registro("FARMAVIDA", "00000456"),
                                registro("BENEFICIO MAIS", "00000789")};
}

TEST(MenuAdministrativo, PermissionStringGovernsExactlyFiveCommands) {
    struct Caso {
        const char* permissoes;
        // Resumo, Pendentes, Cadastro, Canceltotal, Logon
        std::array<bool, 5> habilitados;
    };
    const Caso casos[] = {
        {"NNNNNNNNN", {false, false, false, false, false}},
        {"SSSSSSSSS", {true, true, true, true, true}},
        {"SSN    NS", {true, true, false, false, true}},  // the demo's default group
        {"SNSSSSSSS", {true, false, true, true, true}},   // only the pending transactions
        {"   NNNN  ", {true, true, true, true, true}},    // positions 4-7 govern nothing
        {"nnnnnnnnn", {true, true, true, true, true}},    // only a capital N disables
        {"", {true, true, true, true, true}},             // never loaded (a STAFF login)
        {"NN", {false, false, true, true, true}},         // a short string enables the rest
    };
    const C governados[] = {C::Resumo, C::Pendentes, C::Cadastro, C::Canceltotal, C::Logon};
    for (const Caso& caso : casos) {
        test::TestContext t;
        t.ctx.TipoEstab = 2;
        t.ctx.login.PermissoesUsuario[2] = QString::fromLatin1(caso.permissoes);
        t.ctx.login.PermissoesUsuario[1] = QStringLiteral("NNNNNNNNN");  // another type's
        const TelaAdministrativa tela = MontaTela_FormComplementar(t.ctx);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(tela.habilitado(governados[i]), caso.habilitados[i])
                << caso.permissoes << " command " << i;
        }
        for (C livre : {C::Login, C::AlterarSenha, C::ResumoFinanceiro, C::Prevenda, C::Cancel})
            EXPECT_TRUE(tela.habilitado(livre)) << caso.permissoes;
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
        EXPECT_EQ(tela.lblCodigoEstab, QStringLiteral("CODIGO %1").arg(tipo));
        EXPECT_EQ(tela.lblNomeRede, QStringLiteral("REDE %1").arg(tipo));
        EXPECT_EQ(tela.cmdLogon, QStringLiteral("F9 - Logon %1").arg(tipo));
        EXPECT_EQ(tela.txtUsuario, QStringLiteral("MNG%1").arg(tipo));
        // Captions the layout leaves blank blank the controls.
        EXPECT_EQ(tela.lblNomeEstab, QString());
        EXPECT_EQ(tela.cmdPendentes, QString());
        EXPECT_EQ(tela.lblUsuario, QString());
    }
}

TEST(MenuAdministrativo, OperadoraCheckThenTheScreenNameAndTheRefreshedCode) {
    struct Caso {
        C comando;
        const char* aviso;        // with an empty list; nullptr: needs no operadora
        const char* telaVazia;    // the current screen name afterwards, with an empty list
        const char* telaEscolha;  // and with the second operadora chosen
        const char* codigo;       // CodigoOperadora afterwards, with it chosen
    };
    const Caso casos[] = {
        {C::Logon, "Selecione a Administradora ", "LOGON", "LOGON", "00000456"},
        {C::Pendentes, "Selecione a Administradora ", "PENDENTES", "PENDENTES", "00000456"},
        {C::Cadastro, "selecione a administradora ", "ADMINISTRATIVA", "ADMINISTRATIVA",
         "00000456"},
        {C::Canceltotal, "selecione a administradora ", "ADMINISTRATIVA", "ADMINISTRATIVA",
         "00000456"},
        {C::Resumo, "selecione a administradora ", "ADMINISTRATIVA", "ADMINISTRATIVA", "00000456"},
        {C::ResumoFinanceiro, "selecione a administradora ", "ADMINISTRATIVA", "ADMINISTRATIVA",
         "00000456"},
        // Tests the list, leaves the code alone.
        {C::Prevenda, "selecione a administradora ", "ADMINISTRATIVA", "PREVENDA", "OUTRO"},
        {C::Login, nullptr, "ADMINISTRATIVA", "ADMINISTRATIVA", "OUTRO"},
        {C::AlterarSenha, nullptr, "ADMINISTRATIVA", "ADMINISTRATIVA", "OUTRO"},
        {C::Cancel, nullptr, "ADMINISTRATIVA", "ADMINISTRATIVA", "OUTRO"},
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
            const bool segue = IniciaComandoAdministrativo(t.ctx, caso.comando, escolhida);
            EXPECT_EQ(t.ctx.TelaAtual,
                      QLatin1String(escolhida ? caso.telaEscolha : caso.telaVazia));
            if (escolhida || !caso.aviso) {
                EXPECT_TRUE(segue);
                EXPECT_TRUE(t.boxes.empty());
                if (escolhida) {
                    EXPECT_EQ(t.ctx.ident.CodigoOperadora, QLatin1String(caso.codigo));
                }
                continue;
            }
            EXPECT_FALSE(segue);
            ASSERT_EQ(t.boxes.shown().size(), 1u);
            EXPECT_EQ(t.boxes.last().text, QString::fromUtf8(caso.aviso));
            EXPECT_EQ(t.boxes.last().title, QStringLiteral("Atenção"));
            EXPECT_EQ(t.boxes.last().icon, Icon::Exclamation);
        }
    }
}

TEST(MenuAdministrativo, ChoosingAnOperadoraTakesItsTrimmedNameAndCode) {
    test::TestContext t;
    preencheOperadoras(t.ctx);
    EXPECT_TRUE(EscolheAdministradora(t.ctx, 3));
    EXPECT_EQ(t.ctx.ident.AdministradoraSelecionada, 3);
    EXPECT_EQ(t.ctx.ident.NomeOperadora, QStringLiteral("BENEFICIO MAIS"));
    EXPECT_EQ(t.ctx.ident.CodigoOperadora, QStringLiteral("00000789"));
    for (int fora : {0, 4, -1}) {
        EXPECT_FALSE(EscolheAdministradora(t.ctx, fora));
        EXPECT_EQ(t.ctx.ident.AdministradoraSelecionada, 3) << fora;
    }
}

TEST(MenuAdministrativo, TitleAndLogonTimeUseTheClock) {
    test::TestContext t;
    t.clock.set(QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
    EXPECT_EQ(
        TituloMenuAdministrativo(t.ctx),
        QStringLiteral("Quillane Client        0002 - Administrativas     05/03/2026 14:07:09"));
    EXPECT_EQ(TextoUltimoLogin(t.clock.now()), QStringLiteral("05/03/2026 14:07:09"));
    EXPECT_EQ(TextoUltimoLogin(QDateTime(QDate(987, 1, 2), QTime(0, 0, 0))),
              QStringLiteral("02/01/0987 00:00:00"));
}

TEST(MenuAdministrativo, LogonWritesUltimoLoginOnlyWhenAccepted) {
    struct Caso {
        const char* nome;
        qint32 resultado;      // link result
        const char* resposta;  // answer body when the link answered
        bool aceito;
        const char* mensagem;  // what the operator is told; "" = nothing
    };
    const Caso casos[] = {
        {"ok", 0, "OK", true, ""},
        {"code 00", 0, "000-000=0810;009-000=00;", true, ""},
        {"refused", 0, "000-000=0810;009-000=91;030-000=TERMINAL BLOQUEADO;", false,
         "TERMINAL BLOQUEADO"},
        {"server down", HostLink::kServidorForaDoAr, "", false, "164- Servidor fora do Ar."},
    };
    const QString antigo = QStringLiteral("01/01/2026 08:00:00");
    for (const Caso& caso : casos) {
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
        EXPECT_EQ(RealizaLogon(t.ctx), caso.aceito) << caso.nome;
        QString valor;
        LeLinhaArquivoIni(t.ctx, "DADOS_GERAIS", "Ultimo_Login", QString(), valor,
                          CaminhoQlnClientIni(t.ctx));
        EXPECT_EQ(valor, caso.aceito ? QStringLiteral("05/03/2026 14:07:09") : antigo) << caso.nome;
        if (*caso.mensagem) {
            ASSERT_FALSE(t.boxes.empty()) << caso.nome;
            EXPECT_EQ(t.boxes.last().text, QString::fromLatin1(caso.mensagem));
            EXPECT_EQ(t.boxes.last().icon, Icon::Critical);
        } else {
            EXPECT_TRUE(t.boxes.empty()) << caso.nome << t.boxes.texts().join('|').toStdString();
        }
    }
}

}  // namespace
}  // namespace ql
