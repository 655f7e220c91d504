#include <QAction>
#include <QLockFile>

#include <tuple>

#include "shell/error_trap.h"
#include "support/ui/loja_demo.h"

namespace ql {
namespace {

using Icon = MessageBoxes::Icon;

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
            if (logonFalha) throw RuntimeError(5);
        };
        g.configuracaoCarregada = [this](FormPrincipal&) { eventos << QStringLiteral("config"); };
        g.encerraPrograma = [this] { eventos << QStringLiteral("fim"); };
        janela = std::make_unique<FormPrincipal>(t.ctx, std::move(g));
        janela->setCaminhoTrava(t.path(QStringLiteral("quillane-client.lock")));
    }

    // The settings files a run needs, the main window's captions (F11 configured, the exit
    // command configured blank) and an operator table with one operadora.
    void escreveConfiguracao() {
        t.writeFile(QStringLiteral("WINQLNCORE.ini"), QStringLiteral("[CORE]\n"));
        t.writeFile(QStringLiteral("QlnClient.ini"),
                    QStringLiteral("[DADOS_GERAIS]\nTimeOut_Login=30\nbMsgIso=N\n"
                                   "Ultimo_Login=05/12/2026 09:50:00\n[FormPrincipal]\n"
                                   "mnuImprimir_Caption=Y    F11 - Imprime\n"
                                   "cmdSair_Caption=Y\n"));
        t.writeFile(QStringLiteral("CORE.ini"), QStringLiteral("[CONFIG]\nESTAB_CODE=000123\n"));
        t.writeFile(QStringLiteral("QLTb_Opr.txt"),
                    QStringLiteral("OPERADORA TESTE     00000001\r\n"));
    }
};

TEST(FormPrincipalStartup, EachFailureIsShownAndEndsTheProgram) {
    enum Falha { SemConfiguracao, OutraCopia, SemOperadoras };
    const struct {
        Falha falha;
        const char* caixa;
        const char* titulo;  // its end: the routine that trapped the error, when one did
        Icon icone;
    } casos[] = {
        {SemConfiguracao, "Erro nos arquivos de configuração!", "Atenção", Icon::Critical},
        {OutraCopia, "O QlnClient já esta ativo.", "Atenção", Icon::Exclamation},
        {SemOperadoras, "Ocorreu o erro: Arquivo QLTb_Opr.txt não foi encontrado.",
         "ObtemDadosOperadora", Icon::Exclamation},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.caixa);
        Principal p;
        QLockFile outraCopia(p.t.path(QStringLiteral("quillane-client.lock")));
        if (caso.falha != SemConfiguracao) p.escreveConfiguracao();
        ASSERT_EQ(caso.falha == OutraCopia && outraCopia.tryLock(0), caso.falha == OutraCopia);
        if (caso.falha == SemOperadoras) QFile::remove(p.t.path(QStringLiteral("QLTb_Opr.txt")));
        EXPECT_FALSE(p.janela->MDIForm_Load());
        ASSERT_EQ(p.t.boxes.texts(), QStringList{QString::fromUtf8(caso.caixa)});
        EXPECT_TRUE(p.t.boxes.last().title.endsWith(QString::fromUtf8(caso.titulo)));
        EXPECT_EQ(p.t.boxes.last().icon, caso.icone);
        EXPECT_FALSE(p.eventos.contains(QStringLiteral("FormInicial")));
        EXPECT_FALSE(p.janela->Timer1().isActive());
        if (caso.falha != OutraCopia) continue;
        // Once the other copy has ended, a new start is accepted.
        outraCopia.unlock();
        p.t.boxes.clear();
        EXPECT_TRUE(p.janela->MDIForm_Load()) << p.t.boxes.texts().join('|').toStdString();
    }
}

TEST(FormPrincipalStartup, FullStartCaptionsTheCommandsAndChecksTheLogon) {
    Principal p;
    p.escreveConfiguracao();
    ASSERT_TRUE(p.janela->MDIForm_Load()) << p.t.boxes.texts().join('|').toStdString();
    EXPECT_EQ(p.eventos, (QStringList{QStringLiteral("config"), QStringLiteral("FormInicial")}));
    EXPECT_TRUE(p.janela->mnuImprimir()->isEnabled());
    EXPECT_EQ(p.janela->mnuImprimir()->text(), QStringLiteral("F11 - Imprime"));
    EXPECT_EQ(p.janela->cmdSair()->text(), QString());  // configured blank
    EXPECT_EQ(p.janela->mnuEncerrar()->text(), QStringLiteral("&F12 - Retornar"));

    // The first logon check runs at once: ten minutes old with a time-out of 30, nothing due.
    EXPECT_EQ(p.janela->Timer1().interval(), 1);
    EXPECT_TRUE(test::esperaAte(
        [&] { return p.janela->Timer1().interval() == FormPrincipal::kIntervaloLogonMs; }));
    EXPECT_TRUE(p.janela->Timer1().isActive());
    EXPECT_FALSE(p.eventos.contains(QStringLiteral("Logon")));
    // Half an hour later a tick inside an exchange does nothing; the next one asks for a logon.
    p.t.clock.advanceSecs(21 * 60);
    {
        EsperaEmPrimeiroPlano troca(p.t.ctx);
        p.janela->Timer1_Timer();
    }
    EXPECT_TRUE(p.janela->Timer1().isActive());
    p.janela->Timer1_Timer();
    EXPECT_EQ(p.eventos.count(QStringLiteral("Logon")), 1);
    EXPECT_TRUE(p.janela->Timer1().isActive());
    // An error inside the tick goes to the error routine and the timer is not enabled again.
    p.logonFalha = true;
    p.janela->Timer1_Timer();
    EXPECT_FALSE(p.janela->Timer1().isActive());
    EXPECT_EQ(p.t.boxes.texts(),
              QStringList{QStringLiteral(
                  "Ocorreu o erro: 5 - Argumento ou chamada de procedimento inválida")});
}

TEST(FormPrincipalCommands, F11AndF12ReachTheOpenScreenAndExitAsksFirst) {
    Principal p;
    QStringList chamadas;
    auto tela = std::make_unique<QObject>();
    p.janela->registraTela(QStringLiteral("FormNsu"), tela.get(),
                           {[&] { chamadas << QStringLiteral("encerra"); },
                            [&] { chamadas << QStringLiteral("imprime"); }});
    p.t.ctx.TelaAtual = QStringLiteral("TRANSACOESDOLOTE");
    p.janela->mnuImprimir_Click();  // F11 unavailable: nothing
    p.janela->setImprimirDisponivel(true);
    p.janela->mnuImprimir_Click();
    p.janela->mnuEncerrar_Click();
    EXPECT_EQ(chamadas, (QStringList{QStringLiteral("imprime"), QStringLiteral("encerra")}));

    // A closed screen is no longer called; a newer screen of the same name keeps its
    // registration when an older one goes away.
    tela.reset();
    p.janela->mnuEncerrar_Click();
    EXPECT_EQ(chamadas.size(), 2);
    auto antiga = std::make_unique<QObject>();
    auto nova = std::make_unique<QObject>();
    p.janela->registraTela(QStringLiteral("FormNsu"), antiga.get(), {[] {}, {}});
    p.janela->registraTela(QStringLiteral("FormNsu"), nova.get(), {[] {}, {}});
    antiga.reset();
    EXPECT_TRUE(p.janela->despacho().registrada(QStringLiteral("FormNsu")));

    // Exit asks, with No preselected, and ends on Yes (No: the menu scenarios' F12 row).
    p.t.boxes.answerNext(MessageBoxes::Answer::Yes);
    p.janela->cmdSair_Click();
    const auto& pergunta = p.t.boxes.last();
    EXPECT_EQ(std::tuple(pergunta.text, pergunta.icon, pergunta.buttons, pergunta.defaultButton),
              std::tuple(QStringLiteral("Confirma a Saída do Sistema"), Icon::Critical,
                         MessageBoxes::Buttons::YesNo, MessageBoxes::Answer::No));
    EXPECT_TRUE(p.eventos.contains(QStringLiteral("fim")));
}

TEST(FormPrincipalWindow, SizeStaysFixed) {
    Principal p;
    const QSize fixo(FormPrincipal::kLargura, FormPrincipal::kAltura);
    p.janela->show();
    QApplication::processEvents();
    EXPECT_EQ(p.janela->size(), fixo);
    p.janela->showMaximized();
    EXPECT_TRUE(
        test::esperaAte([&] { return !p.janela->isMaximized() && p.janela->size() == fixo; }));
    p.janela->resize(900, 700);
    EXPECT_TRUE(test::esperaAte([&] { return p.janela->size() == fixo; }))
        << p.janela->width() << "x" << p.janela->height();
    p.janela->showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(p.janela->isMinimized()) << "a minimised window is left alone";
}

}  // namespace
}  // namespace ql
