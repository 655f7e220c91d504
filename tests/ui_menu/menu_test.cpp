// What the administrative menu, its login and its registration screen add to the logic of
// tests/admin and tests/data: the boxes reaching the cashier, the focus, the commands.
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>

#include <gtest/gtest.h>

#include "admin/menu_administrativo.h"
#include "admin/screens/form_complementar.h"
#include "data/screens/form_cadastro.h"
#include "data/screens/form_login.h"
#include "data/usuarios.h"
#include "shell/ini_access.h"
#include "support/ui/loja_demo.h"
#include "ui/telas.h"

namespace ql {
namespace {

using test::achaTela;
using test::clica;
using test::digita;
using test::esperaAte;
using test::Passo;
using test::tecla;
using Answer = MessageBoxes::Answer;

// A key of QlnClient.ini's DADOS_GERAIS section.
QString dadoGeral(Context& ctx, const QString& chave) {
    QString valor;
    LeLinhaArquivoIni(ctx, "DADOS_GERAIS", chave, QString(), valor, CaminhoQlnClientIni(ctx));
    return valor;
}

// The menu over the demo store with MNG1 logged in. It opens when the scene first asks for
// its stage, so that a scene's preparation can change the user or the data it shows.
struct MenuAberto {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    test::RecordingMessageBoxes& caixas = loja.caixas();
    QPointer<FormComplementar> menu;
    bool aberto = false;

    MenuAberto() { entra("MNG1", "1234"); }
    void entra(const char* usuario, const char* senha) {
        EXPECT_EQ(ExecutaLogin(ctx, usuario, senha, nullptr), ResultadoLogin::Aceito);
    }
    QString ultimoLogin() { return dadoGeral(ctx, QStringLiteral("Ultimo_Login")); }
    test::Palco palco() {
        if (!aberto) {
            aberto = true;
            AbreFormComplementar(*loja.janela);
            menu = achaTela<FormComplementar>(QStringLiteral("FormComplementar"));
            EXPECT_TRUE(menu);
            QApplication::setActiveWindow(loja.janela.get());
            if (menu) menu->cbAdministradora()->setFocus();
        }
        return {menu, caixas, loja.pedidos};
    }
};

int cadastrosAbertos() {
    int abertas = 0;
    for (QWidget* w : QApplication::allWidgets()) abertas += qobject_cast<FormCadastro*>(w) != 0;
    return abertas;
}

Passo escolheDistribuidora(int indice) {
    return {[indice](QWidget* tela) {
        qobject_cast<QComboBox*>(test::controle(tela, "cboDistribuidora"))->setCurrentIndex(indice);
    }};
}

TEST(MenuCenas, ComandosLoginECadastro) {
    using P = MenuAberto;
    const QString permissoesSemF3F7F8F9 = QStringLiteral("SNNSSSSNN");
    test::encena<P>({
        {.nome = "F9 logs on and writes the time of the logon; the logon timer runs on",
         .passos = {tecla(Qt::Key_F9)},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.ultimoLogin(), QStringLiteral("05/12/2026 10:00:00"));
                 EXPECT_TRUE(p.loja.janela->Timer1().isActive());
             }},
        {.nome = "Commands the user may not use are disabled",
         .prepara = [=](P& p) { p.ctx.login.PermissoesUsuario[1] = permissoesSemF3F7F8F9; },
         .comandos = {"cmdResumo", "!cmdCadastro", "!cmdCanceltotal", "!cmdPendentes",
                      "!cmdLogon"}},
        {.nome = "F2: another manager logs in (typed in lower case, upper-cased) and the "
                 "commands follow at once",
         .prepara = [](P& p) { p.entra("MNG2", "2468"); },  // the default group: no F3, no F7
         .passos = {test::quandoAbrir("formLogin",
                                      [](QWidget* login) {
                                          test::digitaEm(login->findChild<QWidget*>("txtUserName"),
                                                         "mng1", Qt::Key_unknown);
                                          test::digitaEm(login->findChild<QWidget*>("txtPassword"),
                                                         "1234");
                                      }),
                    tecla(Qt::Key_F2)},
         .foco = "cbAdministradora",
         .comandos = {"cmdCadastro", "cmdCanceltotal", "cmdPendentes", "cmdLogon", "cmdResumo"},
         .confere = [](P& p) { EXPECT_EQ(p.menu->txtUsuario()->text(), u"MNG1"); }},
        {.nome = "F6 opens the sales summary, which has nothing to show before a sale",
         .passos = {tecla(Qt::Key_F6)},
         .caixas = {"Não existem registros a serem exibidos!"},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(test::telaFechada("FormResumo"));
                 EXPECT_EQ(p.ctx.TelaAtual, u"RESUMOVENDA");
             }},
        {.nome = "No operadora in the table: a key and a button stop at the choice",
         .prepara = [](P& p) { p.ctx.operadoras.registros.clear(); },
         .passos = {tecla(Qt::Key_F9), clica("cmdPrevenda")},
         .caixas = {"Selecione a Administradora ", "selecione a administradora "},
         .confere = [](P& p) { EXPECT_TRUE(p.ultimoLogin().isEmpty()); }},
        {.nome = "Registration: no choice and a blank one the host refuses save nothing",
         .passos = {tecla(Qt::Key_F3), tecla(Qt::Key_F3, "FormCadastro"), escolheDistribuidora(3),
                    tecla(Qt::Key_F3, "FormCadastro")},
         .caixas = {"Selecione uma distribuidora!", "DISTRIBUIDORA NAO INFORMADA"},
         .comandos = {"cmdConfirma"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.ctx.TelaAtual, QStringLiteral("CADASTRO"));
                 auto* adm = achaTela<QLineEdit>(QStringLiteral("txtAdministradora"));
                 EXPECT_EQ(adm ? adm->text() : QString(), u"00000123");
                 EXPECT_TRUE(dadoGeral(p.ctx, "DISTRIBUIDORA_00000123").isEmpty());
             }},
        {.nome = "Registration accepted: saved; reopened from the menu it shows the choice, "
                 "asked again while open it stays one screen",
         .passos = {tecla(Qt::Key_F3),
                    escolheDistribuidora(1),
                    tecla(Qt::Key_F3, "FormCadastro"),
                    tecla(Qt::Key_Escape, "FormCadastro"),
                    {[](QWidget*) { EXPECT_TRUE(esperaAte([] { return !cadastrosAbertos(); })); }},
                    tecla(Qt::Key_F3),
                    tecla(Qt::Key_F3)},
         .confere =
             [](P& p) {
                 EXPECT_EQ(dadoGeral(p.ctx, "DISTRIBUIDORA_00000123"), u"DISTRIB SUL LTDA");
                 EXPECT_TRUE(esperaAte([] { return cadastrosAbertos() == 1; }));
                 auto* lista = achaTela<QComboBox>(QStringLiteral("cboDistribuidora"));
                 EXPECT_EQ(lista ? lista->currentIndex() : -1, 1);
             }},
        {.nome = "F12 asks before leaving the program, No keeps it; Esc closes the menu",
         .passos = {tecla(Qt::Key_F12, "cbAdministradora"), tecla(Qt::Key_Escape)},
         .caixas = {"Confirma a Saída do Sistema"},
         .respostas = {Answer::No},
         .confere =
             [](P& p) {
                 EXPECT_FALSE(p.loja.eventos.contains("fim"));
                 EXPECT_TRUE(test::telaFechada("FormComplementar"));
             }},
    });
}

TEST(MenuCenas, SemArquivoDeDistribuidorasOCadastroNaoAbre) {
    MenuAberto p;
    for (const QString& nome : QDir(p.loja.t.dir.path()).entryList({"MF.S??"}, QDir::Files))
        ASSERT_TRUE(QFile::remove(p.loja.t.path(nome)));
    QWidget* menu = p.palco().tela;
    ASSERT_TRUE(menu);
    QTest::keyClick(menu, Qt::Key_F3);
    EXPECT_EQ(p.caixas.shown().size(), 1u);  // the message itself: tests/data
    QCoreApplication::processEvents();
    EXPECT_EQ(cadastrosAbertos(), 0);
    EXPECT_TRUE(test::controle(menu, "cmdCadastro")->isEnabled());
}

// The login dialog shown over the demo store.
struct LoginAberto {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    FormLogin dialogo{ctx, loja.janela.get()};
    LoginAberto() { dialogo.show(); }
    test::Palco palco() { return {&dialogo, loja.caixas(), loja.pedidos}; }
};

TEST(LoginCenas, RecusaAceitaETrocaDeSenha) {
    using P = LoginAberto;
    // The user and password typed, then F3; `antes` arranges what answers a dialog it opens.
    auto login = [](const char* usuario, const char* senha, Passo antes = {[](QWidget*) {}}) {
        return std::vector<Passo>{antes, digita("txtUserName", usuario, Qt::Key_unknown),
                                  digita("txtPassword", senha, Qt::Key_F3)};
    };
    test::encena<P>({
        {.nome = "A refused password is emptied and keeps the focus",
         .passos = login("MNG1", "9999"),
         .caixas = {"Senha Inválida, Tente novamente!"},
         .foco = "txtPassword",
         .comandos = {"cmdOk"},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(p.dialogo.txtPassword()->text().isEmpty());
                 EXPECT_FALSE(p.ctx.login.LoginAtivo);
             }},
        {.nome = "A refused user keeps the password and gets the focus",
         .passos = login("MN", "1234"),
         .caixas = {"Usuário Inválido, digite pelo menos 4 caracteres. Tente novamente!"},
         .foco = "txtUserName",
         .confere = [](P& p) { EXPECT_EQ(p.dialogo.txtPassword()->text(), u"1234"); }},
        {.nome = "Esc cancels the login",
         .prepara = [](P& p) { p.ctx.login.LoginAtivo = true; },
         .passos = {tecla(Qt::Key_Escape, "txtPassword")},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.dialogo.result(), QDialog::Rejected);
                 EXPECT_FALSE(p.ctx.login.LoginAtivo || p.dialogo.isVisible());
             }},
        {.nome = "Factory password: Esc in the change dialog abandons the login silently",
         .passos = login("MNG5", "864209", test::quandoAbrir("formNovaSenha", test::recusa)),
         .confere =
             [](P& p) {
                 EXPECT_FALSE(p.ctx.login.LoginAtivo);
                 EXPECT_TRUE(p.ctx.login.UsuarioLogado[1].trimmed().isEmpty());
             }},
        {.nome = "Factory password: a mismatch refused by F3, the same twice confirmed by Enter",
         .passos =
             login("MNG5", "864209",
                   test::quandoAbrir("formNovaSenha",
                                     [](QWidget* nova) {
                                         digita("txtNovaSenha", "5555", Qt::Key_unknown).faz(nova);
                                         digita("txtNovaSenha2", "5556", Qt::Key_F3).faz(nova);
                                         nova->findChild<QLineEdit*>("txtNovaSenha2")->clear();
                                         digita("txtNovaSenha2", "5555").faz(nova);
                                     })),
         .caixas = {"A nova senha não confere!"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.ctx.login.NovaSenha, u"5555");
                 EXPECT_EQ(p.dialogo.result(), QDialog::Accepted);
             }},
    });
}

}  // namespace
}  // namespace ql
