#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "host/transacoes.h"
#include "hostsim/embedded_host_link.h"
#include "sale/grade_autorizacao.h"
#include "sale/screens/form_impressao.h"
#include "sale/transacoes_produtos.h"
#include "support/leitor_escpos.h"
#include "support/ui/loja_demo.h"
#include "ui/impressao.h"
#include "ui/telas.h"

namespace ql {
namespace {

// A sale of the stored pre-authorisation of card ...0004, approved by the embedded host, as
// the authorisation screen leaves it before the receipt screen opens.
struct ReciboNaLoja : ::testing::Test {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    qint64 nsu = 0;

    ReciboNaLoja() {
        ctx.TipoEstab = 1;
        ctx.ident.NumeroCartao = QStringLiteral("6062820000000004");
        ctx.ident.OperadoraSelecionada = 1;
        ctx.ident.NomeOperadora = ctx.operadoras.at(1).nome.trimmed();
        ctx.ident.CodigoOperadora = ctx.operadoras.at(1).codigo;
        ctx.TelaAtual = QStringLiteral("VENDA");
        GradeAutorizacao grade;
        grade.configura(QString(), QString(), true);
        EXPECT_TRUE(Mensagem_ElegPortador(ctx, 0) && Recupera_Pre(ctx, grade, 0) &&
                    CarregaItemVenda_Grid(ctx, grade) &&
                    Mensagem_GeracaoPre(ctx, grade, QStringLiteral("123456")))
            << loja.caixas().texts().join('|').toStdString();
        nsu = ctx.transacao.NsuTransacao.toLongLong();
        EXPECT_EQ(situacao(), "PENDENTE");
        loja.caixas().clear();
    }

    QString situacao() {
        auto* link = test::linkDoTipo<hostsim::EmbeddedHostLink>(ctx);
        const auto t = link ? link->simulador().store().transacao(nsu) : std::nullopt;
        return t ? t->situacao : QStringLiteral("sem transação");
    }
    static bool habilitados(QWidget* tela) {
        for (const char* nome : {"cmdConfirma", "cmdAnula", "cmdImprimir"})
            if (!tela->findChild<QPushButton*>(QLatin1String(nome))->isEnabled()) return false;
        return true;
    }
};

TEST_F(ReciboNaLoja, ListsTheSoldProductsThenTheHostReceiptAndPrintsThem) {
    QAction* imprimir = loja.janela->mnuImprimir();
    loja.janela->setImprimirDisponivel(true);
    {
        FormImpressao tela(ctx, loja.janela.get());
        EXPECT_FALSE(imprimir->isEnabled());  // the main window cannot print meanwhile
        EXPECT_EQ(tela.windowTitle(), "Imagem da Impressão");
        EXPECT_EQ(tela.findChild<QPushButton*>("cmdImprimir")->text(), "F8 - Im&primir");
        // The products' lines are the receipt logic's; then the host's receipt follows.
        const QStringList linhas = tela.linhas();
        ASSERT_EQ(linhas.size(), 29);
        EXPECT_EQ(linhas[3], "7891185094945                       C ");
        EXPECT_EQ(linhas.mid(11, 3), QStringList({"______________________________________",
                                                  "     QUILLANE BENEFICIO FARMACIA      ",
                                                  "         COMPROVANTE DE VENDA         "}));
        EXPECT_EQ(linhas.mid(25), QStringList({"TOTAL LIQUIDO                 R$ 87,92",
                                               "SUBSIDIO OPERADORA            R$ 26,33",
                                               "VALOR A PAGAR                 R$ 61,59", ""}));

        // F8 sends the lines and a blank one to the printer; a failure says why.
        tela.show();
        const QString termica = loja.t.path("recibos.bin");
        ctx.config.RECEIPT_PRINTER = "escpos:file:" + termica;
        QTest::keyClick(&tela, Qt::Key_F8);
        QFile impresso(termica);
        ASSERT_TRUE(impresso.open(QIODevice::ReadOnly));
        const auto lida = test::LeEscPos(impresso.readAll());
        EXPECT_EQ(lida.linhas, linhas + QStringList{" "});
        EXPECT_TRUE(lida.cortaNoFim());
        ctx.config.RECEIPT_PRINTER.clear();
        ctx.config.PRINTER = QStringLiteral("IMPRESSORA_QUE_NAO_EXISTE");
        QTest::keyClick(&tela, Qt::Key_F8);
        EXPECT_EQ(loja.caixas().texts(),
                  QStringList{"Não foi possível imprimir o comprovante.\nA impressora "
                              "IMPRESSORA_QUE_NAO_EXISTE não foi encontrada."});
        EXPECT_EQ(loja.caixas().last().icon, MessageBoxes::Icon::Exclamation);
        EXPECT_TRUE(habilitados(&tela));

        // Escape does not leave the sale undecided.
        QTest::keyClick(&tela, Qt::Key_Escape);
        EXPECT_TRUE(tela.isVisible());
        EXPECT_EQ(situacao(), "PENDENTE");
    }
    EXPECT_TRUE(imprimir->isEnabled());
}

TEST_F(ReciboNaLoja, CommandsFollowTheLayoutUntilAPrintAndUndoReachesTheHost) {
    ctx.telas.FormImpressao[1].CmdConfirma_Caption.enabled = false;
    FormImpressao tela(ctx, loja.janela.get());
    tela.show();
    QTest::keyClick(&tela, Qt::Key_F5);
    EXPECT_TRUE(tela.isVisible());
    EXPECT_EQ(situacao(), "PENDENTE");
    // A print ends with the three commands enabled, whatever the layout said.
    QTest::keyClick(&tela, Qt::Key_F8);
    EXPECT_TRUE(habilitados(&tela));
    QTest::keyClick(&tela, Qt::Key_F12);
    EXPECT_FALSE(tela.isVisible());
    EXPECT_EQ(situacao(), "DESFEITA");
}

}  // namespace
}  // namespace ql
