#include <QAction>
#include <QApplication>
#include <QLockFile>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "support/test_context.h"

namespace ql {
namespace {

// Lets the event loop run until the condition holds or two seconds have passed.
template <class F>
bool esperaAte(F condicao) {
    QDeadlineTimer prazo(2000);
    while (!condicao()) {
        if (prazo.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(5);
    }
    return true;
}

const QSize kTamanhoFixo(FormPrincipal::kLargura, FormPrincipal::kAltura);

using Icon = MessageBoxes::Icon;
using Answer = MessageBoxes::Answer;

// A main window over a test context, with its lock in the test folder and every hook recorded.
struct Principal {
    test::TestContext t;
    QStringList eventos;
    bool logonFalha = false;  // the logon hook raises a run-time error
    std::unique_ptr<FormPrincipal> janela;

    Principal() {
        FormPrincipal::Ganchos g;
        g.abreFormInicial = [this](FormPrincipal&) { eventos << QStringLiteral("FormInicial"); };
        g.abreFormMensLogon = [this](FormPrincipal&) {
            eventos << QStringLiteral("Logon");
            if (logonFalha) throw RuntimeError(5, QStringLiteral("Invalid procedure call"));
        };
        g.configuracaoCarregada = [this](FormPrincipal&) { eventos << QStringLiteral("config"); };
        g.encerraPrograma = [this] { eventos << QStringLiteral("fim"); };
        janela = std::make_unique<FormPrincipal>(t.ctx, std::move(g));
        janela->setCaminhoTrava(t.path(QStringLiteral("quillane-client.lock")));
    }

    // The three settings files a run needs, with the main window's layout record and an
    // operator table with one operadora.
    void escreveConfiguracao(const QString& ultimoLogin = QString(),
                             const QString& cmdSair = QStringLiteral("Y    Sair do sistema")) {
        t.writeFile(QStringLiteral("WINQLNCORE.ini"), QStringLiteral("[CORE]\n"));
        QString geral =
            QStringLiteral("[DADOS_GERAIS]\nTimeOut_Login=30\nbMsgIso=N\nTIPOESTAB_Default=1\n");
        if (!ultimoLogin.isNull()) geral += QStringLiteral("Ultimo_Login=") + ultimoLogin + '\n';
        const QString grupo1 =
            QStringLiteral("Y    ") + QStringLiteral("F11 - Imprime").leftJustified(30);
        const QString grupo2 =
            QStringLiteral("N    ") + QStringLiteral("F11 - Rede").leftJustified(30);
        geral += QStringLiteral("[FormPrincipal]\nmnuImprimir_Caption=") + grupo1 + grupo2 +
                 QStringLiteral("\ncmdSair_Caption=") + cmdSair + '\n';
        t.writeFile(QStringLiteral("QlnClient.ini"), geral);
        t.writeFile(QStringLiteral("CORE.ini"), QStringLiteral("[CONFIG]\nESTAB_CODE=000123\n"));
        t.writeFile(QStringLiteral("QLTb_Opr.txt"),
                    QStringLiteral("OPERADORA TESTE     00000001\r\n"));
    }
};

TEST(FormPrincipalStartup, SettingsFailureEndsTheProgram) {
    Principal p;  // no settings files at all
    EXPECT_FALSE(p.janela->MDIForm_Load());
    ASSERT_FALSE(p.t.boxes.empty());
    const auto& ultima = p.t.boxes.last();
    EXPECT_EQ(ultima.text, QStringLiteral("Erro nos arquivos de configuração!"));
    EXPECT_EQ(ultima.title, QStringLiteral("Atenção"));
    EXPECT_EQ(ultima.icon, Icon::Critical);
    EXPECT_TRUE(p.eventos.isEmpty()) << p.eventos.join(',').toStdString();
    EXPECT_FALSE(p.janela->Timer1().isActive());
    EXPECT_FALSE(p.janela->mnuImprimir()->isEnabled());
    EXPECT_TRUE(p.janela->windowTitle().startsWith(
        QStringLiteral("Quillane Client            Tela 0000 - Principal              ")));
    EXPECT_TRUE(p.janela->windowTitle().endsWith(QStringLiteral("05/12/2026")));
}

TEST(FormPrincipalStartup, SecondCopyIsRefusedBeforeTheSettings) {
    Principal p;
    p.escreveConfiguracao();
    QLockFile outraCopia(p.t.path(QStringLiteral("quillane-client.lock")));
    ASSERT_TRUE(outraCopia.tryLock(0));

    EXPECT_FALSE(p.janela->MDIForm_Load());
    ASSERT_EQ(p.t.boxes.shown().size(), 1u);
    EXPECT_EQ(p.t.boxes.last().text, QStringLiteral("O QlnClient já esta ativo."));
    EXPECT_EQ(p.t.boxes.last().title, QStringLiteral("Atenção"));
    EXPECT_EQ(p.t.boxes.last().icon, Icon::Exclamation);
    EXPECT_TRUE(p.eventos.isEmpty());

    // Once the other copy has ended, a new start is accepted.
    outraCopia.unlock();
    p.t.boxes.clear();
    EXPECT_TRUE(p.janela->MDIForm_Load()) << p.t.boxes.texts().join('|').toStdString();
}

TEST(FormPrincipalStartup, FullStartOpensTheCardScreenWithTheLayoutCaptions) {
    Principal p;
    p.escreveConfiguracao(QStringLiteral("05/12/2026 09:50:00"));
    ASSERT_TRUE(p.janela->MDIForm_Load()) << p.t.boxes.texts().join('|').toStdString();
    EXPECT_TRUE(p.t.boxes.empty()) << p.t.boxes.texts().join('|').toStdString();
    EXPECT_EQ(p.eventos, (QStringList{QStringLiteral("config"), QStringLiteral("FormInicial")}));
    EXPECT_EQ(p.t.ctx.operadoras.size(), 1);
    EXPECT_TRUE(p.janela->mnuImprimir()->isEnabled());
    EXPECT_EQ(p.janela->mnuImprimir()->text(), QStringLiteral("F11 - Imprime"));
    EXPECT_EQ(p.janela->cmdSair()->text(), QStringLiteral("Sair do sistema"));
    EXPECT_EQ(p.janela->mnuEncerrar()->text(), QStringLiteral("&F12 - Retornar"));

    // The first logon check runs at once: ten minutes old with a time-out of 30, nothing due.
    EXPECT_TRUE(p.janela->Timer1().isActive());
    EXPECT_EQ(p.janela->Timer1().interval(), 1);
    EXPECT_TRUE(esperaAte(
        [&] { return p.janela->Timer1().interval() == FormPrincipal::kIntervaloLogonMs; }));
    EXPECT_TRUE(p.janela->Timer1().isActive());
    EXPECT_FALSE(p.eventos.contains(QStringLiteral("Logon")));

    // Half an hour later the next tick asks for a logon.
    p.t.clock.advanceSecs(21 * 60);
    p.janela->Timer1_Timer();
    EXPECT_EQ(p.eventos.count(QStringLiteral("Logon")), 1);
    EXPECT_TRUE(p.janela->Timer1().isActive());

    // An error inside the tick goes to the error routine and the timer is not enabled again.
    p.logonFalha = true;
    p.janela->Timer1_Timer();
    EXPECT_EQ(p.eventos.count(QStringLiteral("Logon")), 2);
    EXPECT_FALSE(p.janela->Timer1().isActive());
}

TEST(FormPrincipalStartup, ACaptionConfiguredBlankBlanksTheCommand) {
    Principal p;
    p.escreveConfiguracao(QString(), QStringLiteral("Y    ") + QString(30, u' '));
    ASSERT_TRUE(p.janela->MDIForm_Load()) << p.t.boxes.texts().join('|').toStdString();
    EXPECT_EQ(p.janela->cmdSair()->text(), QString());
    EXPECT_EQ(p.janela->mnuImprimir()->text(), QStringLiteral("F11 - Imprime"));
}

TEST(FormPrincipalStartup, OperatorTableMissingEndsTheProgram) {
    Principal p;
    p.escreveConfiguracao();
    QFile::remove(p.t.path(QStringLiteral("QLTb_Opr.txt")));
    EXPECT_FALSE(p.janela->MDIForm_Load());
    EXPECT_FALSE(p.eventos.contains(QStringLiteral("FormInicial")));
    EXPECT_FALSE(p.janela->Timer1().isActive());
    ASSERT_FALSE(p.t.boxes.empty());
    EXPECT_TRUE(p.t.boxes.last().text.contains(QStringLiteral("QLTb_Opr.txt")));
}

TEST(FormPrincipalCommands, F11AndF12ReachTheCurrentScreen) {
    Principal p;
    QStringList chamadas;
    auto tela = std::make_unique<QObject>();
    p.janela->registraTela(QStringLiteral("FormNsu"), tela.get(),
                           {[&] { chamadas << QStringLiteral("encerra"); },
                            [&] { chamadas << QStringLiteral("imprime"); }});

    p.t.ctx.TelaAtual = QStringLiteral("TRANSACOESDOLOTE");
    p.janela->mnuEncerrar_Click();
    p.janela->mnuImprimir_Click();  // F11 unavailable: nothing
    p.janela->setImprimirDisponivel(true);
    p.janela->mnuImprimir_Click();
    p.t.ctx.TelaAtual = QString();
    p.janela->mnuEncerrar_Click();  // no screen: nothing
    EXPECT_EQ(chamadas, (QStringList{QStringLiteral("encerra"), QStringLiteral("imprime")}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the pointer is restored";

    // A closed screen is no longer called.
    tela.reset();
    p.t.ctx.TelaAtual = QStringLiteral("TRANSACOESDOLOTE");
    p.janela->mnuEncerrar_Click();
    EXPECT_EQ(chamadas.size(), 2);
    EXPECT_FALSE(p.janela->despacho().registrada(QStringLiteral("FormNsu")));

    // A newer screen of the same name keeps its registration when an older one goes away.
    auto antiga = std::make_unique<QObject>();
    auto nova = std::make_unique<QObject>();
    p.janela->registraTela(QStringLiteral("FormNsu"), antiga.get(), {[] {}, {}});
    p.janela->registraTela(QStringLiteral("FormNsu"), nova.get(), {[] {}, {}});
    antiga.reset();
    EXPECT_TRUE(p.janela->despacho().registrada(QStringLiteral("FormNsu")));
}

TEST(FormPrincipalCommands, ExitAsksWithNoPreselected) {
    Principal p;
    p.t.boxes.answerNext(Answer::No);
    p.janela->cmdSair_Click();
    EXPECT_FALSE(p.eventos.contains(QStringLiteral("fim")));
    const auto& pergunta = p.t.boxes.last();
    EXPECT_EQ(pergunta.text, QStringLiteral("Confirma a Saída do Sistema"));
    EXPECT_EQ(pergunta.icon, Icon::Critical);
    EXPECT_EQ(pergunta.buttons, MessageBoxes::Buttons::YesNo);
    EXPECT_EQ(pergunta.defaultButton, Answer::No);

    p.t.boxes.answerNext(Answer::Yes);
    p.janela->cmdSair_Click();
    EXPECT_TRUE(p.eventos.contains(QStringLiteral("fim")));
}

TEST(FormPrincipalWindow, SizeStaysFixed) {
    Principal p;
    p.janela->show();
    QApplication::processEvents();
    EXPECT_EQ(p.janela->size(), kTamanhoFixo);

    p.janela->showMaximized();
    EXPECT_TRUE(esperaAte([&] { return !p.janela->isMaximized(); }));
    EXPECT_TRUE(esperaAte([&] { return p.janela->size() == kTamanhoFixo; }))
        << p.janela->width() << "x" << p.janela->height();

    p.janela->resize(900, 700);
    EXPECT_TRUE(esperaAte([&] { return p.janela->size() == kTamanhoFixo; }))
        << p.janela->width() << "x" << p.janela->height();

    p.janela->showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(p.janela->isMinimized()) << "a minimised window is left alone";
}

}  // namespace
}  // namespace ql
