#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "host/transacoes.h"
#include "hostsim/embedded_host_link.h"
#include "sale/grade_autorizacao.h"
#include "sale/recibo.h"
#include "sale/screens/form_impressao.h"
#include "sale/transacoes_produtos.h"
#include "support/leitor_escpos.h"
#include "support/ui/loja_demo.h"
#include "ui/impressao.h"
#include "ui/telas.h"
#include "vigia_modal.h"

namespace ql {
namespace {

using Icon = MessageBoxes::Icon;

// A sale of the stored pre-authorisation of card ...0004, approved by the embedded host, as
// the authorisation screen leaves it before the receipt screen opens.
struct ReciboNaLoja : ::testing::Test {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    GradeAutorizacao grade;
    qint64 nsu = 0;

    void vende(qint16 tipo = 1) {
        ctx.TipoEstab = tipo;
        ctx.ident.NumeroCartao = QStringLiteral("6062820000000004");
        ctx.ident.OperadoraSelecionada = 1;
        ctx.ident.NomeOperadora = ctx.operadoras.at(1).nome.trimmed();
        ctx.ident.CodigoOperadora = ctx.operadoras.at(1).codigo;
        ctx.TelaAtual = QStringLiteral("VENDA");
        grade.configura(QString(), QString(), true);
        ASSERT_TRUE(Mensagem_ElegPortador(ctx, 0)) << loja.caixas().texts().join('|').toStdString();
        ASSERT_TRUE(Recupera_Pre(ctx, grade, 0));
        ASSERT_EQ(grade.linhas(), 3);
        ASSERT_TRUE(CarregaItemVenda_Grid(ctx, grade));
        ASSERT_TRUE(Mensagem_GeracaoPre(ctx, grade, QStringLiteral("123456")))
            << loja.caixas().texts().join('|').toStdString();
        ASSERT_GT(GetQtdLinha(ctx), 0);
        nsu = ctx.transacao.NsuTransacao.toLongLong();
        ASSERT_GT(nsu, 0);
        ASSERT_EQ(situacao(), "PENDENTE");
        loja.caixas().clear();
    }

    QString situacao() {
        auto* link = dynamic_cast<hostsim::EmbeddedHostLink*>(ctx.hostLink.get());
        if (!link) return QStringLiteral("sem link");
        const auto t = link->simulador().store().transacao(nsu);
        return t ? t->situacao : QStringLiteral("sem transação");
    }

    static QStringList linhas(QWidget* tela) {
        auto* lista = tela->findChild<QListWidget*>("lstImpressao");
        QStringList texto;
        for (int i = 0; lista && i < lista->count(); ++i) texto << lista->item(i)->text();
        return texto;
    }
    static QPushButton* botao(QWidget* tela, const char* nome) {
        return tela->findChild<QPushButton*>(QLatin1String(nome));
    }
};

TEST_F(ReciboNaLoja, ListsTheSoldProductsThenTheHostReceipt) {
    vende();
    FormImpressao tela(ctx, loja.janela.get());
    EXPECT_EQ(tela.windowTitle(), "Imagem da Impressão");
    EXPECT_EQ(tela.objectName(), "FormImpressao");
    EXPECT_EQ(tela.findChild<QListWidget*>("lstImpressao")->font().family(), "Courier New");
    EXPECT_EQ(botao(&tela, "cmdConfirma")->text(), "F5 - C&onfirma");
    EXPECT_EQ(botao(&tela, "cmdAnula")->text(), "F12 - &Anula");
    EXPECT_EQ(botao(&tela, "cmdImprimir")->text(), "F8 - Im&primir");

    const QStringList mostrado = linhas(&tela);
    const QStringList host = LinhasHostRecibo(ctx);
    EXPECT_EQ(mostrado, LinhasProdutosRecibo(ctx.itensVenda) + host);
    ASSERT_GE(mostrado.size(), 2 + 3 * 3 + 1);
    // The retrieved items carry no description: the header leaves its column blank.
    EXPECT_EQ(mostrado.at(0), QStringLiteral("Código        ") + QString(19, u' ') + "Emb");
    EXPECT_EQ(mostrado.at(1), "Qtd Prc.Brt.  % Desc. Prc.Liq. Prc.Rec");
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(mostrado.at(2 + 3 * i), "");
        EXPECT_TRUE(mostrado.at(3 + 3 * i).startsWith(ctx.itensVenda.itens.at(i).codigo));
        EXPECT_EQ(mostrado.at(4 + 3 * i).size(), kLarguraLinhaRecibo);
    }
    EXPECT_EQ(mostrado.at(11), QString(38, u'_'));
    // The host sent its lines and the line after the last announced one (empty).
    EXPECT_EQ(host.size(), GetQtdLinha(ctx) + 1);
    EXPECT_FALSE(host.first().trimmed().isEmpty());
    EXPECT_EQ(host.last(), "");
}

TEST_F(ReciboNaLoja, PrintsToPdfAndTellsAPrinterFailure) {
    vende();
    QAction* imprimir = loja.janela->mnuImprimir();
    loja.janela->setImprimirDisponivel(true);
    {
        FormImpressao tela(ctx, loja.janela.get());
        EXPECT_FALSE(imprimir->isEnabled());  // the main window cannot print meanwhile

        tela.show();
        QTest::keyClick(&tela, Qt::Key_F8);
        const QString pdf = UltimoArquivoImpresso(ctx);
        ASSERT_FALSE(pdf.isEmpty()) << loja.caixas().texts().join('|').toStdString();
        EXPECT_TRUE(pdf.startsWith(QFileInfo(loja.t.path("prints")).absoluteFilePath()) ||
                    pdf.startsWith(loja.t.path("prints")))
            << pdf.toStdString();
        QFile arquivo(pdf);
        ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
        EXPECT_TRUE(arquivo.read(4) == "%PDF");
        EXPECT_TRUE(loja.caixas().empty());

        ctx.config.PRINTER = QStringLiteral("IMPRESSORA_QUE_NAO_EXISTE");
        tela.cmdImprimir_Click();
        ASSERT_EQ(loja.caixas().shown().size(), 1u);
        EXPECT_EQ(loja.caixas().last().text,
                  "Não foi possível imprimir o comprovante.\nA impressora "
                  "IMPRESSORA_QUE_NAO_EXISTE não foi encontrada.");
        EXPECT_EQ(loja.caixas().last().title, "Atenção");
        EXPECT_EQ(loja.caixas().last().icon, Icon::Exclamation);
        for (const char* nome : {"cmdConfirma", "cmdAnula", "cmdImprimir"})
            EXPECT_TRUE(botao(&tela, nome)->isEnabled()) << nome;

        // Escape does not leave the sale undecided.
        QTest::keyClick(&tela, Qt::Key_Escape);
        EXPECT_TRUE(tela.isVisible());
        EXPECT_EQ(situacao(), "PENDENTE");
    }
    EXPECT_TRUE(imprimir->isEnabled());
}

TEST_F(ReciboNaLoja, ThermalPrinterGetsTheListAndAFailureLeavesTheScreenAsItWas) {
    vende();
    const QString arquivo = loja.t.path("recibos.bin");
    ctx.config.RECEIPT_PRINTER = "escpos:file:" + arquivo;
    FormImpressao tela(ctx, loja.janela.get());
    tela.show();
    QTest::keyClick(&tela, Qt::Key_F8);
    EXPECT_TRUE(loja.caixas().empty()) << loja.caixas().texts().join('|').toStdString();
    QFile impresso(arquivo);
    ASSERT_TRUE(impresso.open(QIODevice::ReadOnly));
    const auto lida = test::LeEscPos(impresso.readAll());
    EXPECT_EQ(lida.linhas, tela.linhas() << QStringLiteral(" "));
    EXPECT_TRUE(lida.cortaNoFim());

    quint16 porta = 0;
    {
        QTcpServer livre;
        ASSERT_TRUE(livre.listen(QHostAddress::LocalHost));
        porta = livre.serverPort();
    }
    ctx.config.RECEIPT_PRINTER = QStringLiteral("escpos:tcp://127.0.0.1:%1").arg(porta);
    QTest::keyClick(&tela, Qt::Key_F8);
    ASSERT_EQ(loja.caixas().shown().size(), 1u);
    EXPECT_EQ(loja.caixas().last().text,
              QStringLiteral("Não foi possível imprimir o comprovante.\nA impressora de "
                             "comprovantes em 127.0.0.1:%1 recusou a conexão.")
                  .arg(porta));
    EXPECT_TRUE(tela.isVisible());
    for (const char* nome : {"cmdConfirma", "cmdAnula", "cmdImprimir"})
        EXPECT_TRUE(botao(&tela, nome)->isEnabled()) << nome;
    EXPECT_EQ(situacao(), "PENDENTE");
}

TEST_F(ReciboNaLoja, ConfirmReachesTheHost) {
    vende();
    test::VigiaModal vigia;
    QTimer::singleShot(0, [] {
        QWidget* tela = QApplication::activeModalWidget();
        ASSERT_NE(tela, nullptr);
        EXPECT_EQ(tela->objectName(), "FormImpressao");
        QTest::keyClick(tela, Qt::Key_F5);
    });
    ExecutaFormImpressao(ctx, loja.janela.get());
    EXPECT_EQ(situacao(), "CONFIRMADA");
    EXPECT_TRUE(loja.caixas().empty()) << loja.caixas().texts().join('|').toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ReciboNaLoja, UndoReachesTheHost) {
    vende();
    test::VigiaModal vigia;
    QTimer::singleShot(0, [] {
        QWidget* tela = QApplication::activeModalWidget();
        ASSERT_NE(tela, nullptr);
        QTest::keyClick(tela, Qt::Key_F12);
    });
    ExecutaFormImpressao(ctx, loja.janela.get());
    EXPECT_EQ(situacao(), "DESFEITA");
    EXPECT_TRUE(loja.caixas().empty()) << loja.caixas().texts().join('|').toStdString();

    // The pre-authorisation is available again: the same card sells it once more.
    loja.caixas().clear();
    grade.limpa();
    vende();
}

TEST_F(ReciboNaLoja, CommandsFollowTheLayout) {
    vende();
    auto& layout = ctx.telas.FormImpressao[1];
    layout.CmdConfirma_Caption.enabled = false;
    layout.cmdImprimir_Caption.enabled = false;
    FormImpressao tela(ctx, loja.janela.get());
    tela.show();
    QTest::keyClick(&tela, Qt::Key_F5);
    QTest::keyClick(&tela, Qt::Key_F8);
    EXPECT_TRUE(tela.isVisible());
    EXPECT_EQ(situacao(), "PENDENTE");
    EXPECT_TRUE(UltimoArquivoImpresso(ctx).isEmpty());
    QTest::keyClick(&tela, Qt::Key_F12);
    EXPECT_FALSE(tela.isVisible());
    EXPECT_EQ(situacao(), "DESFEITA");
    // The undo switched its button off and back on while it ran: the layout's state remains.
    EXPECT_FALSE(botao(&tela, "cmdConfirma")->isEnabled());
    EXPECT_TRUE(botao(&tela, "cmdAnula")->isEnabled());
}

}  // namespace
}  // namespace ql
