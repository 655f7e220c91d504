#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "admin/menu_administrativo.h"
#include "admin/screens/form_complementar.h"
#include "data/screens/form_cadastro.h"
#include "data/screens/form_login.h"
#include "data/usuarios.h"
#include "support/scripted_link.h"
#include "shell/ini_access.h"
#include "support/ui/loja_demo.h"
#include "ui/telas.h"

namespace ql {
namespace {

using test::achaTela;
using test::esperaAte;
using Icon = MessageBoxes::Icon;
using Answer = MessageBoxes::Answer;
using C = ComandoAdministrativo;

// Runs `acao` on the modal dialog named `nome` once it is the active modal window (the dialog's
// exec() is running by then). Gives up after five seconds.
void quandoModal(const QString& nome, std::function<void(QWidget*)> acao) {
    auto* timer = new QTimer;
    auto prazo = std::make_shared<QDeadlineTimer>(5000);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, nome, acao, prazo] {
        QWidget* w = QApplication::activeModalWidget();
        if (prazo->hasExpired()) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (!w || w->objectName() != nome) return;
        timer->stop();
        timer->deleteLater();
        acao(w);
    });
    timer->start();
}

// Types a user and password into the login dialog and presses Enter in the password box.
void preencheLogin(QWidget* dialogo, const QString& usuario, const QString& senha) {
    auto* txtUser = dialogo->findChild<QLineEdit*>(QStringLiteral("txtUserName"));
    auto* txtPass = dialogo->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
    ASSERT_TRUE(txtUser && txtPass);
    txtUser->clear();
    QTest::keyClicks(txtUser, usuario);
    txtPass->clear();
    QTest::keyClicks(txtPass, senha);
    QTest::keyClick(txtPass, Qt::Key_Return);
}

// A key of QlnClient.ini's DADOS_GERAIS section.
QString dadoGeral(Context& ctx, const QString& chave) {
    QString valor;
    LeLinhaArquivoIni(ctx, "DADOS_GERAIS", chave, QString(), valor, CaminhoQlnClientIni(ctx));
    return valor;
}
QString ultimoLogin(Context& ctx) {
    return dadoGeral(ctx, QStringLiteral("Ultimo_Login"));
}

struct Menu : ::testing::Test {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    test::RecordingMessageBoxes& caixas = loja.caixas();

    // Logs a manager in through the login logic, as the card identification screen does
    // before it opens the menu.
    void entra(const char* usuario, const char* senha) {
        ASSERT_EQ(ExecutaLogin(ctx, usuario, senha, nullptr), ResultadoLogin::Aceito)
            << caixas.texts().join('|').toStdString();
    }
    FormComplementar* abreMenu() {
        AbreFormComplementar(*loja.janela);
        auto* menu = achaTela<FormComplementar>(QStringLiteral("FormComplementar"));
        if (menu) {
            loja.janela->activateWindow();
            QApplication::setActiveWindow(loja.janela.get());
            menu->cbAdministradora()->setFocus();
        }
        return menu;
    }
    void tecla(QWidget* alvo, Qt::Key k) { QTest::keyClick(alvo, k); }
};

TEST_F(Menu, LoginDialogFiltersKeysKeepsOrEmptiesThePasswordAndEscCancels) {
    // User, password, message ("" = accepted), who is logged in then.
    const char* casos[][4] = {
        {"MNG1", "9999", "Senha Inválida, Tente novamente!", ""},
        {"MN", "1234", "Usuário Inválido, digite pelo menos 4 caracteres. Tente novamente!", ""},
        {"mng1", "1234", "", "MNG1"},       // typed in lower case, upper-cased key by key
        {"MNG'2", "24'68", "", "MNG2"},     // apostrophes are dropped
        {"STAFF", "sup1234", "", "STAFF"},  // a seventh character is not taken
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c[0]);
        caixas.clear();
        ctx.login.UsuarioLogado[1].clear();
        FormLogin dialogo(ctx, loja.janela.get());
        dialogo.show();
        QTest::keyClicks(dialogo.txtUserName(), QString::fromUtf8(c[0]));
        QTest::keyClicks(dialogo.txtPassword(), QString::fromUtf8(c[1]));
        QTest::keyClick(&dialogo, Qt::Key_F3);
        const QString mensagem = QString::fromUtf8(c[2]);
        EXPECT_EQ(ctx.login.LoginAtivo, mensagem.isEmpty());
        EXPECT_EQ(dialogo.result(), mensagem.isEmpty() ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(caixas.texts(), mensagem.isEmpty() ? QStringList{} : QStringList{mensagem});
        EXPECT_EQ(ctx.login.UsuarioLogado[1].trimmed(), QString::fromLatin1(c[3]));
        EXPECT_EQ(dialogo.isVisible(), !mensagem.isEmpty());
        // A refused user name keeps the password; a refused password is emptied.
        if (!mensagem.isEmpty()) {
            EXPECT_EQ(dialogo.txtPassword()->text().isEmpty(), !mensagem.startsWith("Usuário"));
            EXPECT_TRUE(dialogo.cmdOk()->isEnabled());
        }
    }
    // Esc cancels the login.
    caixas.clear();
    ctx.login.LoginAtivo = true;
    FormLogin dialogo(ctx, loja.janela.get());
    dialogo.show();
    QTest::keyClick(dialogo.txtPassword(), Qt::Key_Escape);
    EXPECT_FALSE(ctx.login.LoginAtivo);
    EXPECT_EQ(dialogo.result(), QDialog::Rejected);
    EXPECT_FALSE(dialogo.isVisible());
    EXPECT_TRUE(caixas.empty());
}

TEST_F(Menu, FactoryPasswordIsChangedBeforeTheMenu) {
    // Esc in the change dialog abandons the login silently (the rule itself: tests/data).
    quandoModal("formLogin", [](QWidget* login) {
        quandoModal("formNovaSenha", [](QWidget* nova) { QTest::keyClick(nova, Qt::Key_Escape); });
        preencheLogin(login, "MNG5", "864209");
        QTest::keyClick(login, Qt::Key_Escape);
    });
    EXPECT_FALSE(ExecutaFormLogin(ctx, loja.janela.get()));
    EXPECT_TRUE(ctx.login.UsuarioLogado[1].trimmed().isEmpty());
    // A mismatch refused by F3, then the same new password twice confirmed by Enter.
    quandoModal("formLogin", [](QWidget* login) {
        quandoModal("formNovaSenha", [](QWidget* nova) {
            auto* a = nova->findChild<QLineEdit*>("txtNovaSenha");
            auto* b = nova->findChild<QLineEdit*>("txtNovaSenha2");
            QTest::keyClicks(a, "5555");
            QTest::keyClicks(b, "5556");
            QTest::keyClick(nova, Qt::Key_F3);
            b->clear();
            QTest::keyClicks(b, "5555");
            QTest::keyClick(b, Qt::Key_Return);
        });
        preencheLogin(login, "MNG5", "864209");
    });
    EXPECT_TRUE(ExecutaFormLogin(ctx, loja.janela.get()));
    EXPECT_EQ(caixas.texts(), QStringList{QStringLiteral("A nova senha não confere!")});
    EXPECT_EQ(ctx.login.NovaSenha, QStringLiteral("5555"));
}

TEST_F(Menu, PermissionsDisableCommandsAndTheirKeysAndF9LogsOn) {
    entra("MNG2", "2468");  // the default group: no registration, no lot cancellation
    FormComplementar* menu = abreMenu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("ADMINISTRATIVA"));
    EXPECT_EQ(
        loja.janela->windowTitle(),
        QStringLiteral("Quillane Client        0002 - Administrativas     05/12/2026 10:00:00"));
    EXPECT_EQ(menu->cbAdministradora()->currentText(), QStringLiteral("00000123"));
    EXPECT_EQ(ctx.ident.NomeOperadora, QStringLiteral("QUILLANE SAUDE"));

    EXPECT_FALSE(menu->botao(C::Cadastro)->isEnabled());
    EXPECT_FALSE(menu->botao(C::Canceltotal)->isEnabled());
    EXPECT_TRUE(menu->botao(C::Resumo)->isEnabled());

    // F9 logs on and writes the clock's time; the logon timer runs on.
    tecla(menu, Qt::Key_F9);
    EXPECT_EQ(ultimoLogin(ctx), QStringLiteral("05/12/2026 10:00:00"));
    EXPECT_TRUE(loja.janela->Timer1().isActive());

    // Disabled commands: their keys open nothing and say nothing.
    loja.t.clock.advanceSecs(3600);
    ctx.TelaAtual = QStringLiteral("ADMINISTRATIVA");  // the logon left "LOGON"
    ctx.login.PermissoesUsuario[1] = QStringLiteral("SNNSSSSNN");
    menu->MontaTela_FormComplementar();
    const QString antes = ultimoLogin(ctx);
    for (Qt::Key k : {Qt::Key_F3, Qt::Key_F7, Qt::Key_F8, Qt::Key_F9}) tecla(menu, k);
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("ADMINISTRATIVA"));  // F8/F9 would have changed it
    EXPECT_FALSE(achaTela<FormCadastro>(QStringLiteral("FormCadastro")));
    EXPECT_EQ(ultimoLogin(ctx), antes);
    EXPECT_TRUE(caixas.empty()) << caixas.texts().join('|').toStdString();

    // Another manager logs in from the menu: the commands follow at once.
    quandoModal("formLogin", [](QWidget* login) { preencheLogin(login, "MNG1", "1234"); });
    tecla(menu, Qt::Key_F2);
    EXPECT_EQ(menu->txtUsuario()->text(), QStringLiteral("MNG1"));
    for (C comando : {C::Cadastro, C::Canceltotal, C::Pendentes, C::Logon, C::Resumo})
        EXPECT_TRUE(menu->botao(comando)->isEnabled()) << int(comando);
}

TEST_F(Menu, EmptyOperatorTableStopsTheCommands) {
    // The check and its two spellings are in tests/admin; here a key and a button reach it.
    entra("MNG1", "1234");
    ctx.operadoras.registros.clear();
    FormComplementar* menu = abreMenu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->cbAdministradora()->count(), 0);
    tecla(menu, Qt::Key_F9);
    menu->botao(C::Prevenda)->click();
    EXPECT_EQ(caixas.texts(),
              QStringList({"Selecione a Administradora ", "selecione a administradora "}));
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("LOGON"));
    EXPECT_TRUE(ultimoLogin(ctx).isEmpty());
}

TEST_F(Menu, RegistrationSavesTheDistributorOnlyWhenTheHostAccepts) {
    entra("MNG1", "1234");
    FormComplementar* menu = abreMenu();
    ASSERT_TRUE(menu);
    tecla(menu, Qt::Key_F3);
    auto* cadastro = achaTela<FormCadastro>(QStringLiteral("FormCadastro"));
    ASSERT_TRUE(cadastro);
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("CADASTRO"));
    EXPECT_EQ(cadastro->txtAdministradora()->text(), QStringLiteral("00000123"));
    QComboBox* lista = cadastro->cboDistribuidora();
    EXPECT_EQ(lista->count(), 5);
    EXPECT_EQ(lista->currentIndex(), -1);

    // Nothing chosen; then a blank entry, which the host refuses: nothing saved.
    tecla(cadastro, Qt::Key_F3);
    lista->setCurrentIndex(3);
    tecla(cadastro, Qt::Key_F3);
    ASSERT_EQ(caixas.shown().size(), 2u);
    EXPECT_EQ(caixas.shown()[0].text, QStringLiteral("Selecione uma distribuidora!"));
    EXPECT_TRUE(caixas.last().text.contains("DISTRIBUIDORA NAO INFORMADA"))
        << caixas.last().text.toStdString();
    EXPECT_TRUE(dadoGeral(ctx, "DISTRIBUIDORA_00000123").isEmpty());
    EXPECT_TRUE(cadastro->cmdConfirma()->isEnabled());

    // Accepted: saved, and the screen stays.
    caixas.clear();
    lista->setCurrentIndex(1);
    tecla(cadastro, Qt::Key_F3);
    EXPECT_TRUE(caixas.empty()) << caixas.texts().join('|').toStdString();
    EXPECT_EQ(dadoGeral(ctx, "DISTRIBUIDORA_00000123"), QStringLiteral("DISTRIB SUL LTDA"));
    EXPECT_TRUE(cadastro->isVisible());

    // Esc goes back to the menu; opening again preselects the saved choice.
    tecla(cadastro, Qt::Key_Escape);
    ASSERT_TRUE(esperaAte([] { return !achaTela<FormCadastro>(QStringLiteral("FormCadastro")); }));
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("CADASTRO"));  // the menu does not rename itself
    tecla(menu, Qt::Key_F3);
    cadastro = achaTela<FormCadastro>(QStringLiteral("FormCadastro"));
    ASSERT_TRUE(cadastro);
    EXPECT_EQ(cadastro->cboDistribuidora()->currentIndex(), 1);

    // Asked again while it is open: still one registration screen.
    tecla(menu, Qt::Key_F3);
    EXPECT_TRUE(esperaAte([] {
        int abertas = 0;
        for (QWidget* w : QApplication::allWidgets())
            abertas += qobject_cast<FormCadastro*>(w) != nullptr;
        return abertas == 1;
    }));
}

TEST_F(Menu, MissingDistributorFileNeverShowsTheRegistrationAndF12AsksBeforeLeaving) {
    entra("MNG1", "1234");
    for (const QString& nome : QDir(loja.t.dir.path()).entryList({"MF.S??"}, QDir::Files))
        ASSERT_TRUE(QFile::remove(loja.t.path(nome)));
    FormComplementar* menu = abreMenu();
    ASSERT_TRUE(menu);
    tecla(menu, Qt::Key_F3);
    // The message itself is in tests/data.
    EXPECT_EQ(caixas.shown().size(), 1u);
    QCoreApplication::processEvents();
    EXPECT_FALSE(achaTela<FormCadastro>(QStringLiteral("FormCadastro")));
    // The registration named itself as it loaded; back on the menu the name stays.
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("CADASTRO"));
    EXPECT_TRUE(menu->botao(C::Cadastro)->isEnabled());

    // F12 asks before leaving the program.
    caixas.clear();
    caixas.answerNext(Answer::No);
    tecla(menu->cbAdministradora(), Qt::Key_F12);
    EXPECT_EQ(caixas.texts(), QStringList{QStringLiteral("Confirma a Saída do Sistema")});
    EXPECT_FALSE(loja.eventos.contains("fim"));

    // Esc closes the menu.
    tecla(menu, Qt::Key_Escape);
    EXPECT_TRUE(
        esperaAte([] { return !achaTela<FormComplementar>(QStringLiteral("FormComplementar")); }));
}

}  // namespace
}  // namespace ql
