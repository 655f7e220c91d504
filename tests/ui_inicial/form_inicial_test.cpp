#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

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

using Answer = MessageBoxes::Answer;
using test::clica;
using test::digita;
using test::Passo;
using test::tecla;

// The screen's three states, as the commands usable in each show them.
const QStringList kEscolheOperadora{"cbOperadora",  "cmdConfirmaOper", "!txtCartao",
                                    "!BtnPreVenda", "!cmdVenda",       "!cmdLimpa"};
const QStringList kDigitaCartao{"txtCartao", "cmdConfirmaCartao", "!cmdConfirmaOper", "cmdLimpa",
                                "!cmdAdmin"};
const QStringList kCartaoAceito{"txtCartao", "!cmdConfirmaCartao", "!cbOperadora", "cmdLimpa"};
const QString kSaida = QStringLiteral("Confirma a Saída do Sistema");

// A component that never identifies the cardholder.
class ComponenteSempreN final : public ComponenteDS {
  public:
    void setPropriedade(int, const QString&) override {}
    QString propriedade(int n) const override { return n == 7 ? QStringLiteral("N") : QString(); }
    void Identifica() override { ++identificacoes; }
    int identificacoes = 0;
};

// The demo store with the card identification screen open.
struct Inicial {
    test::LojaDemo loja{[](FormPrincipal& j) { AbreFormInicial(j); }};
    FormInicial* tela = TelaInicialAberta(*loja.janela);
    QString visto;  // what a modal dialog showed
    ComponenteSempreN* componente = nullptr;

    // The screens go first, so they unregister from a main window still whole.
    ~Inicial() { qDeleteAll(loja.janela->areaTelas()->subWindowList()); }
    Context& ctx() { return loja.ctx(); }
    test::Palco palco() { return {tela, loja.caixas(), loja.pedidos}; }
    template <class T = QWidget>
    T* w(const char* nome) {
        return tela->findChild<T*>(QLatin1String(nome));
    }
    void leitor(qint16 tipo) {
        ctx().config.LEITOR_TYPE = tipo;
        tela->cmdLimpa_Click();
    }
    void identificaComComponente() {
        ctx().config.bIdentificaCartao_DS = true;
        auto c = std::make_unique<ComponenteSempreN>();
        componente = c.get();
        ctx().componenteDS = std::move(c);
    }
    // An older confirmed sale, the last confirmed one and a newer one undone, whose receipts
    // go to `impressora` in two copies.
    void vendasRegistradas(const QString& impressora) {
        ctx().config.RECEIPT_PRINTER = impressora;
        ctx().config.RECEIPT_COPIES = 2;
        int segundo = 0;
        for (const EstadoVenda estado :
             {EstadoVenda::Confirmada, EstadoVenda::Confirmada, EstadoVenda::Desfeita}) {
            VendaRegistrada v;
            v.nsu = QString::number(200 + segundo).rightJustified(12, u'0');
            v.estado = estado;
            v.recibo = QStringList{QStringLiteral("VENDA"), v.nsu};
            v.aprovadaEm = v.atualizadaEm = ctx().relogio.now().addSecs(segundo++);
            ASSERT_TRUE(ArmazemTerminal(ctx())->registra(v));
        }
    }
    // The PIN pad drawn on the screen reads the card: the track typed and the key pressed.
    void padNaTela(const QString& trilha, Qt::Key k) {
        leitor(2);
        test::quandoModal("FormPinPad", [this](QWidget* m) {
            visto =
                m->windowTitle() + u'|' + m->findChild<QLabel*>(QStringLiteral("Label1"))->text();
        });
        test::quandoModal("PinPadSimulado", [=](QWidget* m) {
            test::digitaEm(m->findChild<QLineEdit*>(QStringLiteral("txtTrilha")), trilha, k);
        });
    }
    void configuraPinPad(const QString& valor) {
        ASSERT_TRUE(GravaLinhaArquivoIni(ctx(), QStringLiteral("CONFIG"), QStringLiteral("PINPAD"),
                                         valor, CaminhoCoreIniCore(ctx())));
    }
};

// Chooses the demo operadora (0 QUILLANE SAUDE, 1 FARMAVIDA) and presses Enter in the list.
Passo operadora(int indice) {
    return {[=](QWidget* tela) {
        tela->findChild<QComboBox*>(QStringLiteral("cbOperadora"))->setCurrentIndex(indice);
        QTest::keyClick(test::controle(tela, QStringLiteral("cbOperadora")), Qt::Key_Return);
    }};
}
// Types into whichever control has the focus, as the cashier does.
Passo noFoco(const QString& texto, Qt::Key k = Qt::Key_Return) {
    return {[=](QWidget*) { test::digitaEm(QApplication::focusWidget(), texto, k); }};
}
// Presses the key on the settings screen and checks how its result begins.
Passo resultado(Qt::Key k, const QString& inicio) {
    return {[=](QWidget*) {
        QWidget* config = test::achaTela(QStringLiteral("FormConfig"));
        QTest::keyClick(config, k);
        const QString texto = config->findChild<QLabel*>(QStringLiteral("lblResultado"))->text();
        EXPECT_TRUE(texto.startsWith(inicio)) << texto.toStdString();
    }};
}
Passo cartaoVazio() {
    return {[](QWidget* t) { EXPECT_EQ(t->findChild<QLineEdit*>("txtCartao")->text(), ""); }};
}

TEST(InicialCenas, Tabela) {
    using P = Inicial;
    const QString c1 = QStringLiteral("6062820000000001"), c4 = QStringLiteral("6062820000000004");
    test::encena<P>({
        {.nome = "first state: the function keys of disabled buttons do nothing; F5 and the "
                 "operadora's confirmation ask for an operadora; F6 has no receipt to reprint",
         .passos = {tecla(Qt::Key_F2), tecla(Qt::Key_F4), tecla(Qt::Key_F8), tecla(Qt::Key_F6),
                    clica("cmdConfirmaOper"), tecla(Qt::Key_F5)},
         .caixas = {"Não há comprovante de venda aprovada para reimprimir.",
                    "Selecione uma operadora!", "Selecione a operadora!"},
         .foco = "cbOperadora",
         .comandos = kEscolheOperadora + QStringList{"cmdAdmin"},
         .pedidos = QStringList{},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.ctx().TelaAtual, "INCIAL");
                 EXPECT_TRUE(p.w<QRadioButton>("optDigitacao")->isChecked());
             }},
        {.nome = "Escape and the main window's F12 ask before ending the run: No stays, Yes ends",
         .passos = {tecla(Qt::Key_Escape), test::f12DaJanela()},
         .caixas = {kSaida, kSaida},
         .respostas = {Answer::No, Answer::Yes},
         .confere = [](P& p) { EXPECT_EQ(p.loja.eventos.count("fim"), 1); }},
        {.nome = "a short card is refused under Login with the card selected for retyping; "
                 "accepted with both commands offered, nothing starts",
         .passos = {operadora(0), digita("txtCartao", "606282000000000"), noFoco(c1)},
         .caixas = {"Digite pelo menos 16 números no campo cartão. Tente novamente!"},
         .foco = "BtnPreVenda",
         .comandos = kCartaoAceito + QStringList{"BtnPreVenda", "cmdVenda", "!cmdAdmin"},
         .pedidos = QStringList{},
         .confere =
             [&](P& p) {
                 EXPECT_EQ(p.ctx().ident.NumeroCartao, c1);
                 EXPECT_EQ(p.w<QLineEdit>("txtAdministradora")->text(), "00000123");
             }},
        {.nome = "additional fields: Enter moves on, a short one offers the card again",
         .passos = {operadora(1), digita("txtCartao", c1), noFoco("123456"),
                    noFoco("1234567890", Qt::Key_unknown), tecla(Qt::Key_F2), cartaoVazio()},
         .caixas = {"Digite pelo menos 11 números. Tente novamente!"},
         .comandos = kDigitaCartao,
         .pedidos = QStringList{},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.w<QLabel>("LBCampo1")->text() + '|' + p.w<QLabel>("LBCampo2")->text(),
                           "Matricula|CPF do Titular");
             }},
        {.nome = "keyboard reader: masked, the second Enter confirms both tracks",
         .prepara = [](P& p) { p.leitor(1); },
         .passos = {operadora(0), digita("txtCartao", ";6062820000000001=2912?"),
                    digita("txtCartao", ";6062820000000001?")},
         .comandos = kCartaoAceito + QStringList{"!optLeitura"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.w<QLineEdit>("txtCartao")->displayText(), QString(38, u'*'));
                 EXPECT_EQ(p.ctx().ident.NumeroCartao, "60628200000000012912?6062820000000001?");
             }},
        {.nome = "PIN pad on screen: the wait window, the track typed is the card",
         .prepara = [](P& p) { p.padNaTela("6062820000000001", Qt::Key_Return); },
         .passos = {operadora(0)},
         .comandos = kCartaoAceito,
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.visto, "PinPad|Passe o cartão ou digite cancel no Pinpad");
                 EXPECT_EQ(p.w<QLineEdit>("txtCartao")->text(), "6062820000000001");
             }},
        {.nome = "PIN pad on screen: nothing read is a read error under the pad's title",
         .prepara = [](P& p) { p.padNaTela("", Qt::Key_Return); },
         .passos = {operadora(0)},
         .caixas = {"Erro na Leitura do Cartão"},
         .comandos = kEscolheOperadora},
        {.nome = "PIN pad on screen: Escape cancels quietly",
         .prepara = [](P& p) { p.padNaTela("6062", Qt::Key_Escape); },
         .passos = {operadora(0)},
         .comandos = kEscolheOperadora},
        {.nome = "no PIN pad: the missing library first",
         .prepara =
             [](P& p) {
                 p.configuraPinPad("nenhum");
                 p.leitor(2);
             },
         .passos = {operadora(0)},
         .caixas = {"Ocorreu o erro: 161 - Impossivel acessar Módulo QL32_Pin.dll",
                    "Erro no Acesso ao PinPad"},
         .comandos = kEscolheOperadora},
        {.nome = "card refused by the host: its text, the screen cleared",
         .passos = {operadora(0), digita("txtCartao", "6062820000000002"), tecla(Qt::Key_F2)},
         .caixas = {"CARTAO BLOQUEADO PELA OPERADORA"},
         .comandos = kEscolheOperadora,
         .pedidos = QStringList{"0100/800000"}},
        {.nome = "pre-authorisation: the identification component asks, the sale goes on",
         .prepara = [](P& p) { p.identificaComComponente(); },
         .passos = {operadora(0), digita("txtCartao", c1), tecla(Qt::Key_F2)},
         .caixas = {"Deseja digitar novamente?", "Deseja digitar novamente?"},
         .respostas = {Answer::Yes, Answer::No},
         .pedidos = QStringList{"0100/800000"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.componente->identificacoes, 1);
                 EXPECT_EQ(p.ctx().TelaAtual, "PREVENDA");
                 EXPECT_NE(test::achaTela("FormPreVenda"), nullptr);
             }},
        {.nome = "distributor: Enter in the list starts over, F2 of the hidden "
                 "pre-authorisation does nothing, Enter on the card starts the authorisation, "
                 "which does not identify the cardholder",
         .prepara = [](P& p) { p.identificaComComponente(); },
         .passos = {operadora(0), clica("optSelecaoDistribuidor"),
                    digita("txtCartao", c4, Qt::Key_unknown), tecla(Qt::Key_Return, "cbOperadora"),
                    cartaoVazio(), digita("txtCartao", c4, Qt::Key_unknown),
                    clica("cmdConfirmaCartao"), tecla(Qt::Key_F2), tecla(Qt::Key_F8), operadora(0),
                    digita("txtCartao", c4)},
         .comandos = kEscolheOperadora + QStringList{"!BtnPreVenda"},
         .pedidos = QStringList{"0100/800500"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.componente->identificacoes, 0);
                 EXPECT_EQ(p.ctx().TelaAtual, "VENDA");
             }},
        {.nome = "F6: the last approved sale's receipt under \"2a VIA\", two copies, ESC/POS; "
                 "the main window's Reimprimir on the page printer: a page per copy",
         .prepara = [](P& p) { p.vendasRegistradas("escpos:file:" + p.loja.t.path("r")); },
         .passos = {tecla(Qt::Key_F6), {[](QWidget* t) {
                        auto* j = qobject_cast<FormPrincipal*>(t->window());
                        j->contexto().config.RECEIPT_PRINTER.clear();
                        j->findChild<QAction*>(QStringLiteral("mnuReimprimir"))->trigger();
                    }}},
         .confere =
             [](P& p) {
                 QFile f(p.loja.t.path("r")), pdf(UltimoArquivoImpresso(p.ctx()));
                 ASSERT_TRUE(f.open(QIODevice::ReadOnly) && pdf.open(QIODevice::ReadOnly));
                 const auto lido = test::LeEscPos(f.readAll());
                 const QStringList via{"2a VIA", "VENDA", "000000000201"};
                 EXPECT_EQ(lido.linhas, via + via);
                 EXPECT_EQ(lido.marcas.count("corte parcial"), 2);
                 EXPECT_EQ(QString::fromLatin1(pdf.readAll())
                               .count(QRegularExpression("/Type\\s*/Page[^s]")),
                           2);
             }},
        {.nome = "F5 as staff: the settings, whose F3 tests the connection; Escape returns",
         .prepara =
             [](P& p) {
                 p.ctx().login.LoginAtivo = true;
                 p.ctx().login.UsuarioLogado[1] = QStringLiteral("STAFF");
                 test::quandoModal("formLogin", [](QWidget* m) {
                     auto* usuario = m->findChild<QLineEdit*>(QStringLiteral("txtUserName"));
                     usuario->clear();
                     test::digitaEm(usuario, "staff", Qt::Key_unknown);
                     test::digitaEm(m->findChild<QLineEdit*>(QStringLiteral("txtPassword")),
                                    QString::fromLatin1(kDemoSenhaServico));
                 });
             },
         .passos = {{[](QWidget* t) {
                        t->findChild<QComboBox*>("cbOperadora")->setCurrentIndex(0);
                    }},
                    tecla(Qt::Key_F5),
                    {[](QWidget* t) { EXPECT_FALSE(t->isVisible()); }},
                    resultado(Qt::Key_F3, "Conexão OK"),
                    tecla(Qt::Key_Escape, "FormConfig")},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(test::telaFechada("FormConfig"));
                 EXPECT_TRUE(p.tela->isVisible());
             }},
        {.nome = "settings: the connection and printer tests say what failed",
         .prepara =
             [](P& p) {
                 p.ctx().config.HOST_LINK = QStringLiteral("tcp://127.0.0.1:1");
                 p.ctx().config.HOST_TIMEOUT_MS = 3000;
                 IniciaHostLink(p.ctx());
                 p.ctx().config.RECEIPT_PRINTER = "escpos:file:" + p.loja.t.path("teste.bin");
                 AbreFormConfig(*p.loja.janela);
             },
         .passos = {resultado(Qt::Key_F3, "Falha na conexão: código -164"),
                    resultado(Qt::Key_F4,
                              "Impressora OK: o teste foi enviado para ESC/POS no "
                              "arquivo "),
                    {[](QWidget* t) {
                        Context& ctx = qobject_cast<FormPrincipal*>(t->window())->contexto();
                        ctx.config.RECEIPT_PRINTER = QStringLiteral("escpos:/dev/ql-sem-porta");
                    }},
                    resultado(Qt::Key_F4,
                              "Falha na impressora: A impressora de comprovantes "
                              "/dev/ql-sem-porta não foi encontrada.")},
         .confere = [](P& p) { EXPECT_TRUE(QFile::exists(p.loja.t.path("teste.bin"))); }},
    });
}

// A serial pad (the simulator at the other end): swipe, Esc on the live wait window, identity.
TEST(InicialPinPadSerial, SwipeEscapeAndIdentity) {
    pinpadsim::SimuladorPinPad sim;
    ASSERT_TRUE(sim.inicia()) << sim.erro().toStdString();
    Inicial i;
    i.configuraPinPad(QStringLiteral("abecs:") + sim.caminho());
    i.leitor(2);
    pinpadsim::Roteiro roteiro;
    roteiro.atrasoMs = 200;
    sim.defineRoteiro(roteiro);
    operadora(0).faz(i.tela);
    EXPECT_EQ(i.w<QLineEdit>("txtCartao")->text(), "6062820000000001");

    roteiro.leitura = pinpadsim::Roteiro::Leitura::Nada;
    sim.defineRoteiro(roteiro);
    bool janelaViva = false;
    QTimer::singleShot(1500, [&] {
        auto* espera = qobject_cast<FormPinPad*>(QApplication::activeModalWidget());
        janelaViva = espera && espera->esperando() && espera->isVisible();
        if (espera) QTest::keyClick(espera, Qt::Key_Escape);
    });
    i.tela->cmdLimpa_Click();
    operadora(0).faz(i.tela);
    EXPECT_TRUE(janelaViva);
    EXPECT_TRUE(i.loja.caixas().empty()) << i.loja.caixas().texts().join('|').toStdString();
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

}  // namespace
}  // namespace ql
