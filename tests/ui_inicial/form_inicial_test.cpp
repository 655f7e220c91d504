#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <utility>

#include "sale/screens/form_inicial.h"
#include "sale/screens/form_pin_pad.h"
#include "shell/ini_access.h"
#include "shell/screens/form_config.h"
#include "simulador_pin_pad.h"
#include "store/settlement.h"
#include "store/terminal_store.h"
#include "support/leitor_escpos.h"
#include "support/ui/loja_demo.h"
#include "ui/impressao.h"
#include "ui/telas.h"

namespace ql {
namespace {

using Icon = MessageBoxes::Icon;
using Answer = MessageBoxes::Answer;

// Demo operadoras, in list order.
constexpr int kQuillaneSaude = 0;
constexpr int kFarmaVida = 1;

enum class Estado { EscolheOperadora, DigitaCartao, CartaoAceito, Outro };

// The demo store with the card identification screen open, driven by keys.
struct Inicial {
    test::LojaDemo loja{[](FormPrincipal& j) { AbreFormInicial(j); }};
    FormInicial* tela = nullptr;

    Inicial() {
        tela = TelaInicialAberta(*loja.janela);
        EXPECT_NE(tela, nullptr);
    }
    // The screens go first, so they unregister from a main window still whole.
    ~Inicial() { qDeleteAll(loja.janela->areaTelas()->subWindowList()); }
    Context& ctx() { return loja.ctx(); }
    test::RecordingMessageBoxes& caixas() { return loja.caixas(); }

    template <class T = QWidget>
    T* w(const char* nome) {
        T* c = tela->findChild<T*>(QLatin1String(nome));
        EXPECT_NE(c, nullptr) << nome;
        return c;
    }
    QLineEdit* txtCartao() { return w<QLineEdit>("txtCartao"); }
    bool visivel(const char* nome) { return w(nome)->isVisibleTo(tela); }

    Estado estado() {
        const bool cartao = visivel("txtCartao"), confirma = visivel("cmdConfirmaCartao"),
                   leitura = txtCartao()->isReadOnly();
        if (!cartao && visivel("cmdConfirmaOper") && w("cbOperadora")->isEnabled())
            return Estado::EscolheOperadora;
        if (cartao && confirma && !leitura) return Estado::DigitaCartao;
        return cartao && !confirma && leitura ? Estado::CartaoAceito : Estado::Outro;
    }

    // Chooses the operadora and confirms it with Enter in the list.
    void confirmaOperadora(int indice) {
        w<QComboBox>("cbOperadora")->setCurrentIndex(indice);
        QTest::keyClick(w("cbOperadora"), Qt::Key_Return);
    }
    void digita(const char* campo, const QString& texto) {
        QTest::keyClicks(w(campo), texto);
        QTest::keyClick(w(campo), Qt::Key_Return);
    }
    // Operadora, card typed and Enter.
    void aceitaCartao(int operadora, const QString& cartao) {
        confirmaOperadora(operadora);
        digita("txtCartao", cartao);
    }
};

#define EXPECT_ESTADO(i, e) EXPECT_EQ(int((i).estado()), int(e))

TEST(FormInicial, FirstStateRefusalsReopeningAndEnding) {
    Inicial i;
    EXPECT_EQ(i.ctx().TelaAtual, QStringLiteral("INCIAL"));
    EXPECT_EQ(i.tela->windowTitle(), QStringLiteral("Tela 0001 - Inicial e abertura"));
    EXPECT_TRUE(i.loja.janela->windowTitle().startsWith(
        QStringLiteral("Quillane Client      Tela 0001 - Inicial e abertura    ")));
    EXPECT_ESTADO(i, Estado::EscolheOperadora);
    EXPECT_EQ(i.w<QComboBox>("cbOperadora")->itemText(kFarmaVida), QStringLiteral("FARMAVIDA"));
    EXPECT_TRUE(i.w<QRadioButton>("optDigitacao")->isChecked());  // demo LEITOR_TYPE 0
    for (const char* b : {"BtnPreVenda", "cmdVenda", "cmdLimpa"}) EXPECT_FALSE(i.w(b)->isEnabled());

    // F5 and the operadora's confirmation ask for an operadora first.
    QTest::keyClick(i.tela, Qt::Key_F5);
    QTest::mouseClick(i.w("cmdConfirmaOper"), Qt::LeftButton);
    EXPECT_EQ(i.caixas().texts(),
              QStringList({"Selecione a operadora!", "Selecione uma operadora!"}));
    EXPECT_EQ(i.caixas().last().icon, Icon::Critical);
    EXPECT_ESTADO(i, Estado::EscolheOperadora);

    // Reopened from elsewhere: the same screen, back in its first state; the current screen
    // name is the one the other screen left ("" after a sale), so the main window's F12 has
    // nothing to call.
    i.aceitaCartao(kQuillaneSaude, QStringLiteral("6062820000000001"));
    i.tela->parentWidget()->hide();
    i.ctx().TelaAtual.clear();
    AbreFormInicial(*i.loja.janela);
    EXPECT_EQ(TelaInicialAberta(*i.loja.janela), i.tela);
    EXPECT_EQ(i.ctx().TelaAtual, QString());
    EXPECT_ESTADO(i, Estado::EscolheOperadora);
    i.caixas().clear();
    i.loja.janela->mnuEncerrar_Click();
    EXPECT_TRUE(i.caixas().empty());

    // Escape and the main window's F12 ask before ending the run.
    i.caixas().answerNext(Answer::No);
    QTest::keyClick(i.tela, Qt::Key_Escape);
    EXPECT_EQ(i.caixas().texts(), QStringList{"Confirma a Saída do Sistema"});
    EXPECT_FALSE(i.loja.eventos.contains(QStringLiteral("fim")));
    i.caixas().answerNext(Answer::Yes);
    i.ctx().TelaAtual = QStringLiteral("INCIAL");
    i.loja.janela->mnuEncerrar_Click();  // F12 of the main window on "INCIAL"
    EXPECT_TRUE(i.loja.eventos.contains(QStringLiteral("fim")));
}

// The checks are the card logic's: the screen shows a refusal under "Login", opens the
// operadora's additional fields, and a refused field offers the card entry again, empty.
TEST(FormInicial, CardAndAdditionalFieldsRefusedOrAccepted) {
    Inicial i;
    i.aceitaCartao(kQuillaneSaude, QStringLiteral("606282000000000"));
    ASSERT_EQ(i.caixas().shown().size(), 1u);
    EXPECT_EQ(i.caixas().last().title, QStringLiteral("Login"));
    EXPECT_ESTADO(i, Estado::DigitaCartao);

    i.caixas().clear();
    i.tela->cmdLimpa_Click();
    i.aceitaCartao(kQuillaneSaude, QStringLiteral("6062820000000001"));
    EXPECT_TRUE(i.caixas().empty()) << i.caixas().texts().join('|').toStdString();
    EXPECT_ESTADO(i, Estado::CartaoAceito);
    EXPECT_EQ(i.ctx().ident.NumeroCartao, QStringLiteral("6062820000000001"));
    EXPECT_EQ(i.w<QLineEdit>("txtAdministradora")->text(), QStringLiteral("00000123"));
    EXPECT_FALSE(i.w("cmdAdmin")->isEnabled());
    EXPECT_EQ(i.ctx().TelaAtual, QStringLiteral("INCIAL"));  // both commands: nothing starts

    i.tela->cmdLimpa_Click();
    i.aceitaCartao(kFarmaVida, QStringLiteral("6062820000000001"));
    EXPECT_EQ(i.w<QLabel>("LBCampo1")->text(), QStringLiteral("Matricula"));
    EXPECT_EQ(i.w<QLabel>("LBCampo2")->text(), QStringLiteral("CPF do Titular"));
    EXPECT_EQ(i.w<QLineEdit>("txtCampo2")->maxLength(), 11);
    EXPECT_EQ(i.tela->focusWidget(), i.w("txtCampo1"));
    QTest::keyClicks(i.w("txtCampo1"), QStringLiteral("123456"));
    QTest::keyClick(i.w("txtCampo1"), Qt::Key_Return);  // on to the second field
    QTest::keyClicks(i.w("txtCampo2"), QStringLiteral("1234567890"));
    QTest::keyClick(i.tela, Qt::Key_F2);
    EXPECT_EQ(i.caixas().texts(), QStringList{"Digite pelo menos 11 números. Tente novamente!"});
    EXPECT_ESTADO(i, Estado::DigitaCartao);
    EXPECT_TRUE(i.txtCartao()->text().isEmpty());
}

TEST(FormInicial, KeyboardReaderConfirmsOnTheSecondEnter) {
    Inicial i;
    i.ctx().config.LEITOR_TYPE = 1;
    i.tela->cmdLimpa_Click();
    EXPECT_TRUE(i.w<QRadioButton>("optLeitura")->isChecked());
    i.confirmaOperadora(kQuillaneSaude);
    EXPECT_FALSE(i.visivel("optLeitura"));

    i.digita("txtCartao", QStringLiteral(";6062820000000001=2912?"));
    EXPECT_EQ(i.txtCartao()->displayText(), QString(21, u'*'));  // masked, without ";" and "="
    EXPECT_ESTADO(i, Estado::DigitaCartao);                      // first track: not yet
    EXPECT_TRUE(i.caixas().empty());
    i.digita("txtCartao", QStringLiteral(";6062820000000001?"));
    EXPECT_ESTADO(i, Estado::CartaoAceito);
    // The tracks' ";" and "=" are dropped like any typed field separator.
    EXPECT_EQ(i.ctx().ident.NumeroCartao, QStringLiteral("60628200000000012912?6062820000000001?"));
}

// A pad's read error under the pad's title; without any pad, the missing library first.
TEST(FormInicial, PinPadReadErrorAndNoPad) {
    Inicial i;
    i.ctx().config.LEITOR_TYPE = 2;
    i.loja.t.writeFile(QStringLiteral("trilha.txt"), QStringLiteral("RETORNO=-20"));
    i.ctx().pinPad = std::make_unique<PinPadArquivo>(i.loja.t.path(QStringLiteral("trilha.txt")));
    QString janelaAberta;
    QTimer::singleShot(100, [&] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            janelaAberta = m->objectName() + u'|' + m->windowTitle() + u'|' +
                           m->findChild<QLabel*>(QStringLiteral("Label1"))->text();
        }
    });
    i.tela->cmdLimpa_Click();
    i.confirmaOperadora(kQuillaneSaude);
    EXPECT_EQ(janelaAberta,
              QStringLiteral("FormPinPad|PinPad|Passe o cartão ou digite cancel no Pinpad"));
    EXPECT_EQ(i.caixas().texts(), QStringList{"Erro na Leitura do Cartão"});
    EXPECT_EQ(i.caixas().last().title, QStringLiteral("Leitura do Cartão"));
    EXPECT_EQ(i.caixas().last().icon, Icon::Critical);
    EXPECT_ESTADO(i, Estado::EscolheOperadora);

    i.caixas().clear();
    i.ctx().pinPad.reset();
    ASSERT_TRUE(GravaLinhaArquivoIni(i.ctx(), QStringLiteral("CONFIG"), QStringLiteral("PINPAD"),
                                     QStringLiteral("nenhum"), CaminhoCoreIniCore(i.ctx())));
    i.tela->cmdLimpa_Click();
    i.confirmaOperadora(kQuillaneSaude);
    EXPECT_EQ(i.caixas().texts(),
              QStringList({"Ocorreu o erro: 161 - Impossivel acessar Módulo QL32_Pin.dll",
                           "Erro no Acesso ao PinPad"}));
    EXPECT_TRUE(i.caixas().shown()[0].title.endsWith(QStringLiteral("Timer1_Timer")));
    EXPECT_ESTADO(i, Estado::EscolheOperadora);
}

// A serial pad (the simulator at the other end): swipe, Esc on the live wait window, identity.
TEST(FormInicial, SerialPinPadSwipeEscapeAndIdentity) {
    pinpadsim::SimuladorPinPad sim;
    ASSERT_TRUE(sim.inicia()) << sim.erro().toStdString();
    Inicial i;
    i.ctx().config.LEITOR_TYPE = 2;
    ASSERT_TRUE(GravaLinhaArquivoIni(i.ctx(), QStringLiteral("CONFIG"), QStringLiteral("PINPAD"),
                                     QStringLiteral("abecs:") + sim.caminho(),
                                     CaminhoCoreIniCore(i.ctx())));
    pinpadsim::Roteiro roteiro;
    roteiro.atrasoMs = 200;
    sim.defineRoteiro(roteiro);
    i.tela->cmdLimpa_Click();
    i.confirmaOperadora(kQuillaneSaude);
    EXPECT_EQ(i.txtCartao()->text(), QStringLiteral("6062820000000001"));
    EXPECT_ESTADO(i, Estado::CartaoAceito);

    roteiro.leitura = pinpadsim::Roteiro::Leitura::Nada;
    sim.defineRoteiro(roteiro);
    bool janelaViva = false;
    QTimer::singleShot(1500, [&] {
        auto* espera = qobject_cast<FormPinPad*>(QApplication::activeModalWidget());
        janelaViva = espera && espera->esperando() && espera->isVisible();
        if (espera) QTest::keyClick(espera, Qt::Key_Escape);
    });
    i.caixas().clear();
    i.tela->cmdLimpa_Click();
    i.confirmaOperadora(kQuillaneSaude);
    EXPECT_TRUE(janelaViva);
    EXPECT_TRUE(i.caixas().empty()) << i.caixas().texts().join('|').toStdString();
    EXPECT_ESTADO(i, Estado::EscolheOperadora);
    EXPECT_TRUE(sim.comandos().endsWith(QStringLiteral("CEX CLO"))) << sim.comandos().toStdString();

    AbreFormConfig(*i.loja.janela);
    auto* config = qobject_cast<FormConfig*>(test::achaTela(QStringLiteral("FormConfig")));
    ASSERT_NE(config, nullptr);
    QSignalSpy consultado(config, &FormConfig::pinPadConsultado);
    ASSERT_TRUE(consultado.wait(5000));
    const auto linhas = config->lstConfiguracao()->findItems(
        QStringLiteral("QUILLANE QPAD-SIM;1MB, série SIM00042, protocolo 2.12"),
        Qt::MatchExactly | Qt::MatchRecursive, 1);
    ASSERT_EQ(linhas.size(), 1);
    EXPECT_EQ(linhas[0]->text(0), QStringLiteral("PIN pad"));
}

TEST(FormInicial, RefusedCardShowsTheHostTextAndClearsTheScreen) {
    Inicial i;
    i.aceitaCartao(kQuillaneSaude, QStringLiteral("6062820000000002"));
    QTest::keyClick(i.tela, Qt::Key_F2);
    ASSERT_FALSE(i.caixas().empty());
    EXPECT_EQ(i.caixas().shown()[0].text.trimmed(), "CARTAO BLOQUEADO PELA OPERADORA");
    EXPECT_ESTADO(i, Estado::EscolheOperadora);
    EXPECT_EQ(i.ctx().TelaAtual, QStringLiteral("PREVENDA"));  // as F2 set it
}

// An identification component that never identifies the cardholder.
class ComponenteSempreN final : public ComponenteDS {
  public:
    void setPropriedade(int, const QString&) override {}
    QString propriedade(int n) const override { return n == 7 ? QStringLiteral("N") : QString(); }
    void Identifica() override { ++identificacoes; }
    int identificacoes = 0;
};

TEST(FormInicial, IdentificationComponentAsksToRetypeAndTheSaleGoesOn) {
    Inicial i;
    i.ctx().config.bIdentificaCartao_DS = true;
    auto componente = std::make_unique<ComponenteSempreN>();
    ComponenteSempreN* fake = componente.get();
    i.ctx().componenteDS = std::move(componente);
    i.caixas().answerNext(Answer::Yes);
    i.caixas().answerNext(Answer::No);

    i.aceitaCartao(kQuillaneSaude, QStringLiteral("6062820000000001"));
    QTest::keyClick(i.tela, Qt::Key_F2);
    EXPECT_EQ(i.caixas().shown().size(), 2u);
    EXPECT_EQ(fake->identificacoes, 1);
    EXPECT_EQ(i.ctx().TelaAtual, QStringLiteral("PREVENDA"));
    EXPECT_ESTADO(i, Estado::EscolheOperadora);

    // The authorisation (F4) does not run the identification.
    i.caixas().clear();
    i.aceitaCartao(kQuillaneSaude, QStringLiteral("6062820000000004"));
    QTest::keyClick(i.tela, Qt::Key_F4);
    EXPECT_TRUE(i.caixas().empty()) << i.caixas().texts().join('|').toStdString();
    EXPECT_EQ(i.ctx().TelaAtual, QStringLiteral("VENDA"));
}

TEST(FormInicial, FunctionKeysActOnlyThroughUsableButtons) {
    Inicial i;
    for (Qt::Key k : {Qt::Key_F2, Qt::Key_F4, Qt::Key_F8}) QTest::keyClick(i.tela, k);
    EXPECT_TRUE(i.caixas().empty());
    // Distributor: the pre-authorisation is hidden, so F2 does nothing even with a card. The
    // change of type leaves the card entry open.
    i.confirmaOperadora(kQuillaneSaude);
    QTest::mouseClick(i.w("optSelecaoDistribuidor"), Qt::LeftButton);
    EXPECT_ESTADO(i, Estado::DigitaCartao);
    EXPECT_FALSE(i.visivel("BtnPreVenda"));
    QTest::keyClicks(i.txtCartao(), QStringLiteral("6062820000000004"));
    // Enter in the list confirms the operadora again although its button is gone: the card
    // entry starts over.
    QTest::keyClick(i.w("cbOperadora"), Qt::Key_Return);
    EXPECT_EQ(i.txtCartao()->text(), QString());
    QTest::keyClicks(i.txtCartao(), QStringLiteral("6062820000000004"));
    QTest::mouseClick(i.w("cmdConfirmaCartao"), Qt::LeftButton);
    EXPECT_ESTADO(i, Estado::CartaoAceito);
    QTest::keyClick(i.tela, Qt::Key_F2);
    EXPECT_EQ(i.ctx().TelaAtual, QStringLiteral("INCIAL"));
    QTest::keyClick(i.tela, Qt::Key_F8);
    EXPECT_ESTADO(i, Estado::EscolheOperadora);

    // With only the authorisation offered, Enter on the card starts it at once.
    i.aceitaCartao(kQuillaneSaude, QStringLiteral("6062820000000004"));
    EXPECT_TRUE(i.caixas().empty()) << i.caixas().texts().join('|').toStdString();
    EXPECT_EQ(i.ctx().TelaAtual, QStringLiteral("VENDA"));
}

TEST(FormConfig, StaffReachesTheSettingsAndTestsTheConnection) {
    Inicial i;
    // The login dialog, when built in, is filled as the service user; else this state stands.
    i.ctx().login.LoginAtivo = true;
    i.ctx().login.UsuarioLogado[1] = QStringLiteral("STAFF");
    QTimer preenche;
    QObject::connect(&preenche, &QTimer::timeout, [&] {
        QWidget* m = QApplication::activeModalWidget();
        if (!m || m->objectName() != QLatin1String("formLogin")) return;
        auto* usuario = m->findChild<QLineEdit*>(QStringLiteral("txtUserName"));
        auto* senha = m->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        if (!usuario || !senha) return;
        usuario->clear();  // typed: the service password fits the box's maximum length
        QTest::keyClicks(usuario, QStringLiteral("staff"));
        QTest::keyClicks(senha, QString::fromLatin1(kDemoSenhaServico));
        QTest::keyClick(senha, Qt::Key_Return);
    });
    preenche.start(20);
    i.w<QComboBox>("cbOperadora")->setCurrentIndex(kQuillaneSaude);
    QTest::keyClick(i.tela, Qt::Key_F5);
    preenche.stop();

    auto* config = test::achaTela(QStringLiteral("FormConfig"));
    ASSERT_NE(config, nullptr);
    EXPECT_FALSE(i.tela->isVisible());
    QTest::keyClick(config, Qt::Key_F3);
    EXPECT_TRUE(config->findChild<QLabel*>(QStringLiteral("lblResultado"))
                    ->text()
                    .startsWith(QStringLiteral("Conexão OK")));
    EXPECT_TRUE(config->findChild<QLabel*>(QStringLiteral("lblHost"))
                    ->text()
                    .contains(QStringLiteral("host simulado no próprio programa - link aberto")));

    QTest::keyClick(config, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(test::achaTela(QStringLiteral("FormConfig")), nullptr);
    EXPECT_TRUE(i.tela->isVisible());
}

TEST(FormConfig, ConnectionAndPrinterTestsSayWhatFailed) {
    test::LojaDemo loja;
    loja.ctx().config.HOST_LINK = QStringLiteral("tcp://127.0.0.1:1");
    loja.ctx().config.HOST_TIMEOUT_MS = 3000;
    IniciaHostLink(loja.ctx());
    const QString arquivo = loja.t.path(QStringLiteral("teste.bin")),
                  ausente = loja.t.path(QStringLiteral("lp9"));
    AbreFormConfig(*loja.janela);
    auto* config = test::achaTela(QStringLiteral("FormConfig"));
    ASSERT_NE(config, nullptr);
    auto* resultado = config->findChild<QLabel*>(QStringLiteral("lblResultado"));
    QTest::mouseClick(config->findChild<QWidget*>(QStringLiteral("cmdTestaConexao")),
                      Qt::LeftButton);
    EXPECT_TRUE(resultado->text().startsWith(QStringLiteral("Falha na conexão: código -164")));
    const QString casos[][2] = {
        {"escpos:file:" + arquivo,
         "Impressora OK: o teste foi enviado para ESC/POS no arquivo " + arquivo + "."},
        {"escpos:" + ausente,
         "Falha na impressora: A impressora de comprovantes " + ausente + " não foi encontrada."},
    };
    for (const auto& c : casos) {
        loja.ctx().config.RECEIPT_PRINTER = c[0];
        QTest::keyClick(config, Qt::Key_F4);
        EXPECT_EQ(resultado->text(), c[1]);
    }
    EXPECT_TRUE(QFile::exists(arquivo));
    EXPECT_TRUE(loja.caixas().empty());
}

TEST(PinPadDialogo, SwipedTypedEmptyOrCancelled) {
    struct Caso {
        QString trilha;
        Qt::Key tecla;
        qint32 retorno;
    };
    const Caso casos[] = {
        {QStringLiteral(";6062820000000001=2912?"), Qt::Key_Return, 23},
        {QString(), Qt::Key_Return, PinPad::kErroLeitura},
        {QStringLiteral("6062"), Qt::Key_Escape, PinPad::kCancelado},
    };
    for (const Caso& c : casos) {
        QTimer::singleShot(0, [&] {
            QWidget* m = QApplication::activeModalWidget();
            ASSERT_NE(m, nullptr);
            auto* campo = m->findChild<QLineEdit*>(QStringLiteral("txtTrilha"));
            QTest::keyClicks(campo, c.trilha);
            QTest::keyClick(campo, c.tecla);
        });
        PinPadDialogo pad;
        const LeituraPinPad l = LeTrilha(pad);
        EXPECT_EQ(l.RetornoPinPad, c.retorno) << c.trilha.toStdString();
        EXPECT_EQ(l.TrilhaCartao.trimmed(), c.retorno > 0 ? c.trilha : QString());
    }
}

// F6 here or the main window's "Reimprimir comprovante", on each kind of receipt printer, in
// two copies: the last approved sale's stored receipt under "2a VIA", never an undone one.
TEST(ReimpressaoComprovante, TheLastApprovedReceiptAgainOnEachPrinterKind) {
    for (const bool escpos : {true, false}) {
        Inicial t;
        Context& ctx = t.ctx();
        const QString arquivo = t.loja.t.dir.filePath(QStringLiteral("recibos.bin"));
        ctx.config.RECEIPT_PRINTER = escpos ? QStringLiteral("escpos:file:") + arquivo : QString();
        ctx.config.RECEIPT_COPIES = 2;
        auto reimprime = [&] {
            escpos ? QTest::keyClick(t.tela, Qt::Key_F6)
                   : t.loja.janela->findChild<QAction*>(QStringLiteral("mnuReimprimir"))->trigger();
        };
        reimprime();
        EXPECT_EQ(t.caixas().texts(),
                  QStringList{"Não há comprovante de venda aprovada para reimprimir."});
        // An older confirmed sale, the last confirmed one, and a newer one undone.
        for (const auto& [nsu, estado] : {std::pair{"000000000200", EstadoVenda::Confirmada},
                                          std::pair{"000000000201", EstadoVenda::Confirmada},
                                          std::pair{"000000000202", EstadoVenda::Desfeita}}) {
            VendaRegistrada v;
            v.nsu = QLatin1String(nsu);
            v.estado = estado;
            v.recibo = QStringList{QStringLiteral("VENDA"), v.nsu};
            v.aprovadaEm = v.atualizadaEm = ctx.relogio.now().addSecs(v.nsu.right(1).toInt());
            ASSERT_TRUE(ArmazemTerminal(ctx)->registra(v));
        }
        reimprime();
        EXPECT_EQ(t.caixas().texts().size(), 1);
        const QStringList via{"2a VIA", "VENDA", "000000000201"};
        QFile f(escpos ? arquivo : UltimoArquivoImpresso(ctx));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray impresso = f.readAll();
        if (escpos) {
            EXPECT_EQ(test::LeEscPos(impresso).linhas, via + via);
            EXPECT_EQ(test::LeEscPos(impresso).marcas.count(QStringLiteral("corte parcial")), 2);
        } else {  // one page per copy
            EXPECT_EQ(QString::fromLatin1(impresso).count(
                          QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))),
                      2);
        }
    }
}

}  // namespace
}  // namespace ql
