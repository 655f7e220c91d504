// What the pending-list, lot and cancellation screens add to the logic of tests/admin.
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

#include "admin/journal_model.h"
#include "admin/screens/form_cancela.h"
#include "admin/screens/form_consulta.h"
#include "admin/screens/form_nsu.h"
#include "admin/screens/frm_cancela_produtos.h"
#include "host/transacoes.h"
#include "host/valores.h"
#include "sale/grade_autorizacao.h"
#include "sale/transacoes_produtos.h"
#include "support/ui/loja_demo.h"
#include "ui/impressao.h"
#include "ui/telas.h"

namespace ql {
namespace {

using Icon = MessageBoxes::Icon;
using test::achaTela;
using test::esperaAte;

const QString kOperadora = QStringLiteral("00000123");
const QString kAutorizacao = QStringLiteral("Número da autorização: ");

// Confirms the receipt screen when it comes up modal (rejects it if it stays), so that a
// cancellation never waits for an operator.
struct FechaRecibo {
    QTimer timer;
    int tentativas = 0;
    FechaRecibo() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* w = QApplication::activeModalWidget();
            if (!w || w->objectName() != QLatin1String("FormImpressao")) return;
            if (++tentativas == 1) {
                QTest::keyClick(w, Qt::Key_F5);
            } else if (auto* d = qobject_cast<QDialog*>(w)) {
                d->reject();
            }
        });
        timer.start(20);
    }
};

struct Loja : ::testing::Test {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    test::RecordingMessageBoxes& caixas = loja.caixas();

    Loja() {
        // The administradora chosen in the administrative menu.
        ctx.ident.AdministradoraSelecionada = 1;
        ctx.ident.CodigoOperadora = kOperadora;
        ctx.ident.NomeOperadora = QStringLiteral("QUILLANE SAUDE");
        ctx.TipoEstab = 1;
        caixas.clear();
    }
    ~Loja() override { qDeleteAll(loja.janela->areaTelas()->subWindowList()); }

    // Sells the demo card's stored pre-authorisation as the authorisation screen does in
    // "VENDA" mode; the sale stays pending. Returns its NSU.
    QString vendaPendente(GradeAutorizacao* gradeVenda = nullptr) {
        GradeAutorizacao local;
        GradeAutorizacao& grade = gradeVenda ? *gradeVenda : local;
        ctx.TelaAtual = QStringLiteral("VENDA");
        ctx.ident.NumeroCartao = QStringLiteral("6062820000000004");
        EXPECT_TRUE(Mensagem_ElegPortador(ctx, 0)) << caixas.texts().join(" | ").toStdString();
        EXPECT_TRUE(Recupera_Pre(ctx, grade, 0));
        EXPECT_TRUE(CarregaItemVenda_Grid(ctx, grade));
        EXPECT_TRUE(Mensagem_GeracaoPre(ctx, grade, QStringLiteral("123456")));
        ctx.TelaAtual = QStringLiteral("ADMINISTRATIVA");
        caixas.clear();
        return ctx.transacao.NsuTransacao;
    }
    // The row of the grid whose NSU (column 2) is the given one; -1 when none.
    static int linhaDoNsu(const JournalModel& m, const QString& nsu) {
        for (int r = 0; r < m.rowCount(); ++r)
            if (valorInteiro(m.text(r, 1)) == valorInteiro(nsu)) return r;
        return -1;
    }
    static bool semTela(const char* nome) {
        return esperaAte([nome] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return achaTela(QLatin1String(nome)) == nullptr;
        });
    }
    void esperaUltima(const QString& texto, Icon icone) {
        ASSERT_FALSE(caixas.empty()) << "no message, expected " << texto.toStdString();
        EXPECT_EQ(caixas.last().text, texto);
        EXPECT_EQ(caixas.last().icon, icone);
    }
    FormConsulta* abrePendentes(const QString& nsu) {
        AbreFormConsulta(*loja.janela);
        auto* tela = achaTela<FormConsulta>(QStringLiteral("FormConsulta"));
        if (tela)
            tela->grade()->setCurrentIndex(
                tela->modelo().index(linhaDoNsu(tela->modelo(), nsu), 0));
        return tela;
    }
};

TEST_F(Loja, PendingListUndoesConfirmsPrintsAndAsksBeforeLeaving) {
    const QString primeira = vendaPendente();
    AbreFormComplementar(*loja.janela);  // the menu the list is opened from
    auto* menu = achaTela<QWidget>(QStringLiteral("FormComplementar"));
    auto* tela = abrePendentes(primeira);
    ASSERT_TRUE(tela && menu) << caixas.texts().join(" | ").toStdString();
    EXPECT_TRUE(tela->parentWidget()->isMaximized());
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("TRANSACOESPENDENTES"));
    EXPECT_EQ(loja.janela->windowTitle(),
              QStringLiteral("Quillane Client      Tela 0007 - Transações Pendentes    "
                             "05/12/2026 10:00:00"));
    EXPECT_TRUE(caixas.empty()) << caixas.texts().join(" | ").toStdString();

    // F5 undoes the active row's sale; the main window's F12 closes the list.
    QTest::keyClick(tela->grade(), Qt::Key_F5);
    esperaUltima(QStringLiteral("Anulação efetuada com sucesso!"), Icon::Critical);
    EXPECT_EQ(valorInteiro(ctx.transacao.NsuTransacao), valorInteiro(primeira));
    EXPECT_EQ(ctx.transacao.SituacaoTransacao, QStringLiteral("PEND."));
    loja.janela->mnuEncerrar_Click();
    EXPECT_TRUE(semTela("FormConsulta"));
    EXPECT_FALSE(menu->parentWidget()->isMaximized());  // the list's state stays with it
    menu->parentWidget()->close();
    EXPECT_FALSE(loja.janela->mnuImprimir()->isEnabled());

    // The undo gave the pre-authorisation back: sold again, then confirmed with F3.
    const QString segunda = vendaPendente();
    tela = abrePendentes(segunda);
    ASSERT_NE(tela, nullptr);
    EXPECT_EQ(linhaDoNsu(tela->modelo(), primeira), -1);
    QTest::keyClick(tela->grade(), Qt::Key_F3);
    EXPECT_EQ(caixas.texts(), QStringList{QStringLiteral("Confirmação efetuada com sucesso!")});

    // F11 inside the list prints it; its F12 asks before ending the program.
    caixas.clear();
    QTest::keyClick(tela->grade(), Qt::Key_F11);
    esperaUltima(QStringLiteral("Impressão efetuada!"), Icon::Information);
    caixas.clear();
    caixas.answerNext(MessageBoxes::Answer::No);
    QTest::keyClick(tela->grade(), Qt::Key_F12);
    EXPECT_EQ(caixas.texts(), QStringList{QStringLiteral("Confirma a Saída do Sistema")});
    EXPECT_FALSE(loja.eventos.contains(QStringLiteral("fim")));
    QTest::keyClick(tela, Qt::Key_Escape);
    EXPECT_TRUE(semTela("FormConsulta"));
    EXPECT_EQ(ctx.TelaAtual, QString());
}

TEST_F(Loja, LotShowsTotalsAndHandsTheActiveRowToTheCancellations) {
    GradeAutorizacao grade;
    const QString nsu = vendaPendente(&grade);
    const QStringList lotes =
        QDir(ctx.config.PathServer).entryList({QStringLiteral("TS") + kOperadora + "-*"});
    ASSERT_EQ(lotes.size(), 1);
    const QString lote = lotes.first().mid(11, 6);

    FechaRecibo recibo;
    AbreFormNsu(*loja.janela, lote);
    auto* tela = achaTela<FormNsu>(QStringLiteral("FormNsu"));
    ASSERT_NE(tela, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_FALSE(tela->parentWidget()->isMaximized());
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("TRANSACOESDOLOTE"));
    ASSERT_EQ(tela->modelo().rowCount(), 1);
    // The lot holds only this sale: its net total is the sale's, on screen and in the print.
    const QString liquido = formataValor(grade.totais().venda);
    EXPECT_EQ(tela->findChild<QLineEdit*>(QStringLiteral("txtTotValorLiqVda"))->text(), liquido);
    EXPECT_TRUE(tela->tituloImpressao().startsWith(QStringLiteral("Total Líquido Venda :        ") +
                                                   liquido));

    // F4 cancels the whole transaction: the host's new NSU is the authorisation number.
    QTest::keyClick(tela->grade(), Qt::Key_F4);
    ASSERT_FALSE(caixas.empty());
    EXPECT_EQ(caixas.shown().front().text, kAutorizacao + ctx.transacao.NsuTransacao);
    EXPECT_NE(valorInteiro(ctx.transacao.NsuTransacao), valorInteiro(nsu));

    // The grid is not re-read: the same row again is refused by the host.
    caixas.clear();
    QTest::keyClick(tela->grade(), Qt::Key_F4);
    EXPECT_EQ(caixas.shown().front().text, QStringLiteral("TRANSACAO JA CANCELADA"));
    esperaUltima(QStringLiteral("Cancelamento não realizado!"), Icon::Critical);

    // F8 hands the sale over to the product list of the transaction.
    QTest::keyClick(tela->grade(), Qt::Key_F8);
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("PRODUTOSDATRANSACAO"));
    EXPECT_EQ(valorInteiro(ctx.transacao.NsuTransacao), valorInteiro(nsu));
    QTest::keyClick(tela, Qt::Key_Escape);
    EXPECT_TRUE(semTela("FormNsu"));

    // Reopened: the cancellation row ("CT") has no products to cancel, so F8 does nothing.
    ctx.TelaAtual = QStringLiteral("RESUMOVENDA");
    AbreFormNsu(*loja.janela, lote);
    tela = achaTela<FormNsu>(QStringLiteral("FormNsu"));
    ASSERT_NE(tela, nullptr);
    ASSERT_EQ(tela->modelo().rowCount(), 2);
    const int linhaCancelamento = linhaDoNsu(tela->modelo(), nsu) == 0 ? 1 : 0;
    EXPECT_EQ(tela->modelo().text(linhaCancelamento, 5), QStringLiteral("CT"));
    tela->grade()->setCurrentIndex(tela->modelo().index(linhaCancelamento, 1));
    caixas.clear();
    QTest::keyClick(tela->grade(), Qt::Key_F8);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("PRODUTOSDATRANSACAO"));
}

TEST_F(Loja, ItemDialogProposesTheQuantityAndRefusesOneItDoesNotHold) {
    ctx.itensVenda.clear();
    ItemVenda& item = ctx.itensVenda.item(1);
    ctx.itensVenda.count = 1;
    item.codigo = QStringLiteral("7891058001155");
    item.descricao = QStringLiteral("DIPIRONA");
    item.quantidade = QStringLiteral("4");
    QString produto, quantidade;
    auto responde = [&](bool recusa) {
        auto* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName(), QStringLiteral("frmCancelaProdutos"));
        auto* txtQuantidade = w->findChild<QLineEdit*>(QStringLiteral("txtQuantidade"));
        produto = w->findChild<QLineEdit*>(QStringLiteral("txtProduto"))->text();
        quantidade = txtQuantidade->text();
        if (recusa) {
            // More than the item holds: refused, nothing sent, the dialog stays.
            txtQuantidade->setText(QStringLiteral("5"));
            QTest::keyClick(txtQuantidade, Qt::Key_F3);
            EXPECT_EQ(caixas.texts(),
                      QStringList{QStringLiteral("A quantidade informada não pode ser maior que o "
                                                 "valor original")});
            EXPECT_TRUE(w->isVisible());
            // Only digits are typed into the quantity.
            txtQuantidade->clear();
            QTest::keyClicks(txtQuantidade, QStringLiteral("1a-,"));
            EXPECT_EQ(txtQuantidade->text(), QStringLiteral("1"));
        }
        QTest::keyClick(w, Qt::Key_Escape);
    };
    QTimer::singleShot(0, [&] { responde(true); });
    ExecutaFrmCancelaProdutos(*loja.janela);
    EXPECT_EQ(produto, QStringLiteral("7891058001155  -  DIPIRONA"));
    EXPECT_EQ(quantidade, QStringLiteral("4"));  // no product list open: the item's quantity

    // With the product list open, its active row is shown as written: the code keeps its
    // leading zeros, and the cancellable quantity of column 11 is proposed.
    QStandardItemModel modelo(1, 13);
    modelo.setItem(0, 4, new QStandardItem(QStringLiteral("0001234")));
    modelo.setItem(0, 7, new QStandardItem(QStringLiteral("ATENOLOL")));
    modelo.setItem(0, 10, new QStandardItem(QStringLiteral("3")));
    auto* lista = new QTableView(loja.janela.get());
    lista->setObjectName(QStringLiteral("spdProdutos"));
    lista->setModel(&modelo);
    lista->setCurrentIndex(modelo.index(0, 0));
    item.codigo = QStringLiteral("1234");  // as the copy into ItensVenda writes it
    QTimer::singleShot(0, [&] { responde(false); });
    ExecutaFrmCancelaProdutos(*loja.janela);
    delete lista;
    EXPECT_EQ(produto, QStringLiteral("0001234  -  ATENOLOL"));
    EXPECT_EQ(quantidade, QStringLiteral("3"));
}

TEST_F(Loja, CancellationByTypedNsu) {
    const QString nsu = vendaPendente();
    ctx.telas.FormCancela[1].lblNSU.minLength = 6;
    {
        FormCancela dialogo(ctx);
        dialogo.show();
        QTest::keyClicks(dialogo.txtNSU(), QStringLiteral("12A.3-45"));
        EXPECT_EQ(dialogo.txtNSU()->text(), QStringLiteral("12345"));  // numeric field
        QTest::keyClick(dialogo.txtNSU(), Qt::Key_F3);
        esperaUltima(QStringLiteral("O campo NSU deve conter pelo menos 6 caracteres."),
                     Icon::Critical);
        EXPECT_TRUE(dialogo.isVisible());
    }

    // The sale's NSU typed in full, with its products ("BE"), then again without ("XX"): the
    // second time the host's refusal is the only message.
    FechaRecibo recibo;
    const QString digitado = formataZeros(valorInteiro(nsu), 12);
    for (const bool comProdutos : {true, false}) {
        caixas.clear();
        QTimer::singleShot(0, [&] {
            auto* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            ASSERT_EQ(w->objectName(), QStringLiteral("FormCancela"));
            w->findChild<QRadioButton*>(QStringLiteral("OptComPrd"))->setChecked(comProdutos);
            auto* campo = w->findChild<QLineEdit*>(QStringLiteral("txtNSU"));
            QTest::keyClicks(campo, digitado);
            QTest::keyClick(campo, Qt::Key_F3);
        });
        ExecutaFormCancela(*loja.janela);
        ASSERT_FALSE(caixas.empty());
        if (comProdutos) {
            EXPECT_EQ(ctx.transacao.TipoTransacao, QStringLiteral("BE"));
            EXPECT_EQ(caixas.shown().front().text, kAutorizacao + ctx.transacao.NsuTransacao);
        } else {
            EXPECT_EQ(ctx.transacao.TipoTransacao, QStringLiteral("XX"));
            EXPECT_EQ(caixas.texts(), QStringList{QStringLiteral("TRANSACAO JA CANCELADA")});
        }
    }
}

TEST_F(Loja, ListsWithoutAJournalToShowNeverOpen) {
    // An operadora without any transaction at the host: no pending list, a corrupt lot.
    ctx.ident.CodigoOperadora = QStringLiteral("00000789");
    QFile lote(QDir(ctx.config.PathServer).filePath("TS00000789-000007.S00"));
    ASSERT_TRUE(lote.open(QIODevice::WriteOnly));
    lote.write("1\r\nALote\r\n\r\n1\r\nA7\r\n");  // its checksum is not 00
    lote.close();
    // The current screen name stays what the loading set.
    const std::tuple<const char*, std::function<void()>, const char*> telas[] = {
        {"FormConsulta", [&] { AbreFormConsulta(*loja.janela); }, "TRANSACOESPENDENTES"},
        {"FormNsu", [&] { AbreFormNsu(*loja.janela, QStringLiteral("7")); }, "TRANSACOESDOLOTE"}};
    for (const auto& [nome, abre, telaAtual] : telas) {
        SCOPED_TRACE(nome);
        ctx.TelaAtual = QStringLiteral("ADMINISTRATIVA");
        loja.janela->setImprimirDisponivel(false);
        caixas.clear();
        abre();
        EXPECT_EQ(caixas.shown().size(), 1u) << caixas.texts().join(" | ").toStdString();
        EXPECT_EQ(achaTela(QLatin1String(nome)), nullptr);
        EXPECT_EQ(ctx.TelaAtual, QLatin1String(telaAtual));
        EXPECT_FALSE(loja.janela->mnuImprimir()->isEnabled());
    }
}

}  // namespace
}  // namespace ql
