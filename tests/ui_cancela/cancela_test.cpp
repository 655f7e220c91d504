#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>

#include <ostream>

#include <gtest/gtest.h>

#include "admin/journal_model.h"
#include "admin/journal_names.h"
#include "admin/journal_writer.h"
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

// Readable QString values in failure messages.
inline void PrintTo(const QString& texto, std::ostream* saida) {
    *saida << '"' << texto.toStdString() << '"';
}

namespace ql {
namespace {

using Icon = MessageBoxes::Icon;
using test::achaTela;
using test::esperaAte;

const QString kOperadora = QStringLiteral("00000123");
const QString kCartaoComPre = QStringLiteral("6062820000000004");
const QString kAtencao = QStringLiteral("Atenção");

// Confirms the receipt screen whenever it comes up modal (when the build has the real one), so
// that a cancellation test never waits for an operator; remembers that it came up.
struct FechaRecibo {
    QTimer timer;
    bool apareceu = false;
    int tentativas = 0;
    FechaRecibo() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* w = QApplication::activeModalWidget();
            if (!w || w->objectName() != QLatin1String("FormImpressao")) return;
            apareceu = true;
            if (++tentativas == 1) {
                QTest::keyClick(w, Qt::Key_F5);  // confirm
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
    ~Loja() override {
        // Screens still open go before the main window does.
        qDeleteAll(loja.janela->areaTelas()->subWindowList());
    }

    // Sells the stored pre-authorisation of the demo card the way the authorisation screen does
    // in "VENDA" mode; the sale stays pending. Returns its NSU.
    QString vendaPendente(GradeAutorizacao* gradeVenda = nullptr) {
        GradeAutorizacao local;
        GradeAutorizacao& grade = gradeVenda ? *gradeVenda : local;
        ctx.TelaAtual = QStringLiteral("VENDA");
        ctx.ident.NumeroCartao = kCartaoComPre;
        EXPECT_TRUE(Mensagem_ElegPortador(ctx, 0)) << caixas.texts().join(" | ").toStdString();
        EXPECT_TRUE(Recupera_Pre(ctx, grade, 0));
        EXPECT_TRUE(CarregaItemVenda_Grid(ctx, grade));
        EXPECT_TRUE(Mensagem_GeracaoPre(ctx, grade, QStringLiteral("123456")))
            << caixas.texts().join(" | ").toStdString();
        ctx.TelaAtual = QStringLiteral("ADMINISTRATIVA");
        return ctx.transacao.NsuTransacao;
    }

    // How many screens of that name exist (a product list opened earlier may still be open).
    static qsizetype quantasTelas(const QString& nome) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qsizetype n = 0;
        for (QWidget* w : QApplication::allWidgets()) n += w->objectName() == nome ? 1 : 0;
        return n;
    }

    // The row of the grid whose NSU (column 2) is the given one; -1 when none.
    static int linhaDoNsu(const JournalModel& m, const QString& nsu) {
        for (int r = 0; r < m.rowCount(); ++r)
            if (valorInteiro(m.text(r, 1)) == valorInteiro(nsu)) return r;
        return -1;
    }

    // The lot number in the name of the (only) lot journal of the operadora.
    QString loteAtual() const {
        const QStringList nomes =
            QDir(ctx.config.PathServer).entryList({QStringLiteral("TS") + kOperadora + "-*"});
        return nomes.isEmpty() ? QString() : nomes.first().mid(11, 6);
    }

    // Waits until no screen of that name is left (closed screens are deleted later).
    static bool semTela(const char* nome) {
        return esperaAte([nome] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return achaTela(QLatin1String(nome)) == nullptr;
        });
    }

    void fecha(QWidget* tela, const char* nome) {
        QTest::keyClick(tela, Qt::Key_Escape);
        EXPECT_TRUE(semTela(nome));
    }

    void esperaUltima(const QString& texto, Icon icone) {
        ASSERT_FALSE(caixas.empty()) << "no message, expected " << texto.toStdString();
        EXPECT_EQ(caixas.last().text, texto);
        EXPECT_EQ(caixas.last().title, kAtencao);
        EXPECT_EQ(caixas.last().icon, icone);
    }

    bool pdfImpresso() const {
        const QString arquivo = UltimoArquivoImpresso(ctx);
        QFile f(arquivo);
        return arquivo.startsWith(QDir(ctx.config.PathServer).filePath(QStringLiteral("prints"))) &&
               f.open(QIODevice::ReadOnly) && f.read(4) == "%PDF";
    }
};

TEST_F(Loja, PendingSalesAreUndoneAndConfirmedFromThePendingList) {
    const QString primeira = vendaPendente();
    ASSERT_FALSE(primeira.isEmpty());

    AbreFormConsulta(*loja.janela);
    auto* tela = achaTela<FormConsulta>(QStringLiteral("FormConsulta"));
    ASSERT_NE(tela, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_TRUE(tela->isVisible());
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("TRANSACOESPENDENTES"));
    EXPECT_EQ(loja.janela->windowTitle(),
              QStringLiteral("Quillane Client      Tela 0007 - Transações Pendentes    "
                             "05/12/2026 10:00:00"));
    EXPECT_TRUE(loja.janela->mnuImprimir()->isEnabled());
    EXPECT_EQ(tela->findChild<QLabel*>(QStringLiteral("lblAdministradora"))->text(), kOperadora);
    EXPECT_TRUE(caixas.empty()) << caixas.texts().join(" | ").toStdString();

    // Undo of the first sale (F5).
    int linha = linhaDoNsu(tela->modelo(), primeira);
    ASSERT_GE(linha, 0);
    tela->grade()->setCurrentIndex(tela->modelo().index(linha, 0));
    QTest::keyClick(tela->grade(), Qt::Key_F5);
    esperaUltima(QStringLiteral("Anulação efetuada com sucesso!"), Icon::Critical);
    EXPECT_EQ(valorInteiro(ctx.transacao.NsuTransacao), valorInteiro(primeira));
    EXPECT_EQ(ctx.transacao.TipoTransacao, QStringLiteral("BC"));
    EXPECT_EQ(ctx.transacao.SituacaoTransacao, QStringLiteral("PEND."));
    EXPECT_TRUE(tela->findChild<QPushButton*>(QStringLiteral("cmdAnulaTrans"))->isEnabled());
    fecha(tela, "FormConsulta");
    EXPECT_EQ(ctx.TelaAtual, QString());
    EXPECT_FALSE(loja.janela->mnuImprimir()->isEnabled());

    // The undo gave the pre-authorisation back: sell it again, then confirm it (F3).
    const QString segunda = vendaPendente();
    AbreFormConsulta(*loja.janela);
    tela = achaTela<FormConsulta>(QStringLiteral("FormConsulta"));
    ASSERT_NE(tela, nullptr);
    EXPECT_EQ(linhaDoNsu(tela->modelo(), primeira), -1);  // undone, no longer pending
    linha = linhaDoNsu(tela->modelo(), segunda);
    ASSERT_GE(linha, 0);
    tela->grade()->setCurrentIndex(tela->modelo().index(linha, 0));
    caixas.clear();
    QTest::keyClick(tela->grade(), Qt::Key_F3);
    esperaUltima(QStringLiteral("Confirmação efetuada com sucesso!"), Icon::Critical);
    EXPECT_EQ(caixas.shown().size(), 1u);

    // The list is not re-read: the confirmed row stays until the screen opens again.
    EXPECT_EQ(linhaDoNsu(tela->modelo(), segunda), linha);
    fecha(tela, "FormConsulta");

    // Nothing is pending any more: the screen tells so and does not open.
    caixas.clear();
    ctx.TelaAtual = QStringLiteral("ADMINISTRATIVA");
    AbreFormConsulta(*loja.janela);
    EXPECT_EQ(achaTela(QStringLiteral("FormConsulta")), nullptr);
    esperaUltima(QStringLiteral("Não existem registros a serem exibidos!"), Icon::Information);
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("ADMINISTRATIVA"));
}

TEST_F(Loja, PendingListPrintsAndAsksBeforeLeaving) {
    ASSERT_FALSE(vendaPendente().isEmpty());
    AbreFormConsulta(*loja.janela);
    auto* tela = achaTela<FormConsulta>(QStringLiteral("FormConsulta"));
    ASSERT_NE(tela, nullptr);

    // F11 inside the screen, then F11 of the main window: both print the grid to PDF.
    QTest::keyClick(tela->grade(), Qt::Key_F11);
    esperaUltima(QStringLiteral("Impressão efetuada!"), Icon::Information);
    EXPECT_TRUE(pdfImpresso()) << UltimoArquivoImpresso(ctx).toStdString();
    caixas.clear();
    ctx.ultimoArquivoImpresso.clear();
    loja.janela->mnuImprimir_Click();
    esperaUltima(QStringLiteral("Impressão efetuada!"), Icon::Information);
    EXPECT_TRUE(pdfImpresso());

    // F12 inside the screen asks before ending the program; No keeps everything open.
    caixas.clear();
    caixas.answerNext(MessageBoxes::Answer::No);
    QTest::keyClick(tela->grade(), Qt::Key_F12);
    ASSERT_EQ(caixas.shown().size(), 1u);
    EXPECT_EQ(caixas.last().text, QStringLiteral("Confirma a Saída do Sistema"));
    EXPECT_EQ(caixas.last().buttons, MessageBoxes::Buttons::YesNo);
    EXPECT_EQ(caixas.last().defaultButton, MessageBoxes::Answer::No);
    EXPECT_EQ(caixas.last().icon, Icon::Critical);
    EXPECT_FALSE(loja.eventos.contains(QStringLiteral("fim")));
    EXPECT_NE(achaTela(QStringLiteral("FormConsulta")), nullptr);
    caixas.answerNext(MessageBoxes::Answer::Yes);
    QTest::keyClick(tela->grade(), Qt::Key_F12);
    EXPECT_TRUE(loja.eventos.contains(QStringLiteral("fim")));

    // With the confirmation command off in the layout record, F3 does nothing.
    tela->findChild<QPushButton*>(QStringLiteral("cmdConfirmaTrans"))->setEnabled(false);
    caixas.clear();
    QTest::keyClick(tela->grade(), Qt::Key_F3);
    EXPECT_TRUE(caixas.empty());

    // F12 of the main window returns (closes the screen).
    loja.janela->mnuEncerrar_Click();
    EXPECT_TRUE(semTela("FormConsulta"));
}

TEST_F(Loja, LotTotalsAndTotalCancellation) {
    GradeAutorizacao grade;
    const QString nsu = vendaPendente(&grade);
    ASSERT_FALSE(nsu.isEmpty());
    const QString lote = loteAtual();
    ASSERT_FALSE(lote.isEmpty());

    FechaRecibo recibo;
    AbreFormNsu(*loja.janela, lote);
    auto* tela = achaTela<FormNsu>(QStringLiteral("FormNsu"));
    ASSERT_NE(tela, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_TRUE(caixas.empty()) << caixas.texts().join(" | ").toStdString();
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("TRANSACOESDOLOTE"));
    EXPECT_EQ(loja.janela->windowTitle(),
              QStringLiteral("Quillane Client      Tela 0005 - Transações do Lote    "
                             "05/12/2026 10:00:00"));
    EXPECT_EQ(tela->modelo().rowCount(), 1);
    EXPECT_FALSE(tela->findChild<QLabel*>(QStringLiteral("lblLote"))->text().isEmpty());
    EXPECT_EQ(tela->findChild<QLabel*>(QStringLiteral("lblTotValorLiqVda"))->text(),
              QStringLiteral("Total Líquido Venda"));

    // The lot holds only this sale: its net total is the sale's.
    const QString liquido = formataValor(grade.totais().venda);
    EXPECT_NE(liquido, QStringLiteral("0,00"));
    EXPECT_EQ(tela->findChild<QLineEdit*>(QStringLiteral("txtTotValorLiqVda"))->text(), liquido);
    EXPECT_TRUE(tela->tituloImpressao().startsWith(QStringLiteral("Total Líquido Venda :        ") +
                                                   liquido +
                                                   QStringLiteral("      Total Reposição :")))
        << tela->tituloImpressao().toStdString();

    QTest::keyClick(tela->grade(), Qt::Key_F11);
    esperaUltima(QStringLiteral("Impressão efetuada!"), Icon::Information);
    EXPECT_TRUE(pdfImpresso());

    // Total cancellation (F4): the host's new NSU is the authorisation number, and the
    // answer's receipt goes to the receipt screen.
    caixas.clear();
    QTest::keyClick(tela->grade(), Qt::Key_F4);
    ASSERT_FALSE(caixas.empty());
    EXPECT_EQ(caixas.shown().front().text,
              QStringLiteral("Número da autorização: ") + ctx.transacao.NsuTransacao);
    EXPECT_EQ(caixas.shown().front().icon, Icon::Exclamation);
    EXPECT_NE(valorInteiro(ctx.transacao.NsuTransacao), valorInteiro(nsu));
    EXPECT_TRUE(recibo.apareceu || GetQtdLinha(ctx) > 0);
    EXPECT_TRUE(tela->findChild<QPushButton*>(QStringLiteral("cmdCanceltotal"))->isEnabled());

    // The grid is not re-read: the same row cancelled again is refused by the host.
    caixas.clear();
    QTest::keyClick(tela->grade(), Qt::Key_F4);
    esperaUltima(QStringLiteral("Cancelamento não realizado!"), Icon::Critical);
    EXPECT_EQ(caixas.shown().front().text, QStringLiteral("TRANSACAO JA CANCELADA"));

    // The partial cancellation hands over to the product list of the transaction.
    caixas.clear();
    QTest::keyClick(tela->grade(), Qt::Key_F8);
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("PRODUTOSDATRANSACAO"));
    EXPECT_EQ(valorInteiro(ctx.transacao.NsuTransacao), valorInteiro(nsu));
    EXPECT_EQ(tela->loteSelecionado(), QString::number(valorInteiro(lote)));

    fecha(tela, "FormNsu");
    EXPECT_EQ(loja.janela->windowTitle(), QStringLiteral("Quillane Client"));

    // Reopened, the lot lists the sale and its cancellation ("CT", which has no products to
    // cancel: F8 on it opens nothing and says nothing).
    ctx.TelaAtual = QStringLiteral("RESUMOVENDA");
    AbreFormNsu(*loja.janela, lote);
    tela = achaTela<FormNsu>(QStringLiteral("FormNsu"));
    ASSERT_NE(tela, nullptr);
    ASSERT_EQ(tela->modelo().rowCount(), 2);
    const int linhaCancelamento = linhaDoNsu(tela->modelo(), nsu) == 0 ? 1 : 0;
    EXPECT_EQ(tela->modelo().text(linhaCancelamento, 5), QStringLiteral("CT"));
    tela->grade()->setCurrentIndex(tela->modelo().index(linhaCancelamento, 1));
    const auto listasAbertas = [] { return quantasTelas(QStringLiteral("FormResumoProdutos")); };
    const qsizetype antes = listasAbertas();
    caixas.clear();
    QTest::keyClick(tela->grade(), Qt::Key_F8);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(listasAbertas(), antes);
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("TRANSACOESDOLOTE"));
}

TEST_F(Loja, PartialCancellationOfOneItem) {
    const QString nsu = vendaPendente();
    ASSERT_FALSE(nsu.isEmpty());

    // The product list of the transaction copies its selected row into ItensVenda entry 1.
    JournalModel produtos;
    ASSERT_TRUE(CarregaGrid(
        ctx, journalPattern(JournalKind::ProdutosTransacao, 1, kOperadora, valorInteiro(nsu)),
        produtos));
    ASSERT_GE(produtos.rowCount(), 1);
    ASSERT_TRUE(CancelaItem_Grid(ctx, produtos, {0}));
    ASSERT_EQ(ctx.itensVenda.count, 1);
    const ItemVenda item = ctx.itensVenda.itens[0];
    const qint64 vendida = valorInteiro(item.quantidade);
    ASSERT_GE(vendida, 1);
    ctx.transacao.NsuTransacao = nsu;
    ctx.transacao.TipoTransacao = QStringLiteral("BC");  // the sale's type in the lot
    ctx.TelaAtual = QStringLiteral("PRODUTOSDATRANSACAO");

    frmCancelaProdutos dialogo(ctx, {QString(), produtos.text(0, 10)});
    dialogo.show();
    EXPECT_EQ(dialogo.txtProduto()->text(), item.codigo + QStringLiteral("  -  ") + item.descricao);
    EXPECT_EQ(dialogo.txtQuantidade()->text(), QString::number(vendida));

    // Quantities the check refuses, each with the same message and nothing sent.
    const QString recusa =
        QStringLiteral("A quantidade informada não pode ser maior que o valor original");
    for (const QString& digitada : {QStringLiteral("0"), QString::number(vendida + 1), QString()}) {
        caixas.clear();
        dialogo.txtQuantidade()->setText(digitada);
        QTest::keyClick(dialogo.txtQuantidade(), Qt::Key_F3);
        esperaUltima(recusa, Icon::Critical);
        EXPECT_EQ(caixas.shown().size(), 1u);
        EXPECT_TRUE(dialogo.isVisible());
        EXPECT_TRUE(dialogo.findChild<QPushButton*>(QStringLiteral("cmdOk"))->isEnabled());
        EXPECT_EQ(valorInteiro(ctx.transacao.NsuTransacao), valorInteiro(nsu));
    }

    // Only digits are typed into the quantity.
    dialogo.txtQuantidade()->clear();
    QTest::keyClicks(dialogo.txtQuantidade(), QStringLiteral("1a-,"));
    EXPECT_EQ(dialogo.txtQuantidade()->text(), QStringLiteral("1"));

    // One unit cancelled: the authorisation number is shown and the dialog closes.
    FechaRecibo recibo;
    caixas.clear();
    QTest::keyClick(dialogo.txtQuantidade(), Qt::Key_F3);
    ASSERT_FALSE(caixas.empty());
    EXPECT_EQ(caixas.shown().front().text,
              QStringLiteral("Número da autorização: ") + ctx.transacao.NsuTransacao);
    EXPECT_NE(valorInteiro(ctx.transacao.NsuTransacao), valorInteiro(nsu));
    EXPECT_EQ(ctx.itensVenda.itens[0].quantidade, QStringLiteral("1"));
    EXPECT_TRUE(recibo.apareceu || GetQtdLinha(ctx) > 0);
    EXPECT_EQ(dialogo.result(), QDialog::Accepted);
    EXPECT_FALSE(dialogo.isVisible());
}

TEST_F(Loja, ItemDialogOpensModalAndCancelCloses) {
    ctx.itensVenda.clear();
    ItemVenda& item = ctx.itensVenda.item(1);
    ctx.itensVenda.count = 1;
    item.codigo = QStringLiteral("7891058001155");
    item.descricao = QStringLiteral("DIPIRONA");
    item.quantidade = QStringLiteral("4");
    QString produto, quantidade;
    QTimer::singleShot(0, [&] {
        auto* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName(), QStringLiteral("frmCancelaProdutos"));
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Cancela Item"));
        produto = w->findChild<QLineEdit*>(QStringLiteral("txtProduto"))->text();
        quantidade = w->findChild<QLineEdit*>(QStringLiteral("txtQuantidade"))->text();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    ExecutaFrmCancelaProdutos(*loja.janela);
    EXPECT_EQ(produto, QStringLiteral("7891058001155  -  DIPIRONA"));
    EXPECT_EQ(quantidade, QStringLiteral("4"));  // no product list open: the item's quantity
    EXPECT_TRUE(caixas.empty());

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
    QTimer::singleShot(0, [&] {
        auto* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        produto = w->findChild<QLineEdit*>(QStringLiteral("txtProduto"))->text();
        quantidade = w->findChild<QLineEdit*>(QStringLiteral("txtQuantidade"))->text();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    ExecutaFrmCancelaProdutos(*loja.janela);
    delete lista;
    EXPECT_EQ(produto, QStringLiteral("0001234  -  ATENOLOL"));
    EXPECT_EQ(quantidade, QStringLiteral("3"));
}

TEST_F(Loja, CancellationByTypedNsu) {
    const QString nsu = vendaPendente();
    ASSERT_FALSE(nsu.isEmpty());

    // A minimum of 6 characters in the layout record.
    ctx.telas.FormCancela[1].lblNSU.minLength = 6;
    {
        FormCancela dialogo(ctx);
        dialogo.show();
        EXPECT_EQ(dialogo.windowTitle(), QStringLiteral("Cancelamento de Transação "));
        QTest::keyClicks(dialogo.txtNSU(), QStringLiteral("12A.3-45"));
        EXPECT_EQ(dialogo.txtNSU()->text(), QStringLiteral("12345"));  // numeric field
        QTest::keyClick(dialogo.txtNSU(), Qt::Key_F3);
        esperaUltima(QStringLiteral("O campo NSU deve conter pelo menos 6 caracteres."),
                     Icon::Critical);
        EXPECT_EQ(caixas.shown().size(), 1u);
        EXPECT_TRUE(dialogo.isVisible());
        EXPECT_TRUE(dialogo.findChild<QPushButton*>(QStringLiteral("cmdOk"))->isEnabled());
    }

    // The sale's NSU typed in full, with its products: cancelled, type "BE".
    FechaRecibo recibo;
    caixas.clear();
    const QString digitado = formataZeros(valorInteiro(nsu), 12);
    QTimer::singleShot(0, [&] {
        auto* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        ASSERT_EQ(w->objectName(), QStringLiteral("FormCancela"));
        w->findChild<QRadioButton*>(QStringLiteral("OptComPrd"))->setChecked(true);
        auto* campo = w->findChild<QLineEdit*>(QStringLiteral("txtNSU"));
        QTest::keyClicks(campo, digitado);
        QTest::keyClick(campo, Qt::Key_F3);
    });
    ExecutaFormCancela(*loja.janela);
    EXPECT_EQ(ctx.transacao.TipoTransacao, QStringLiteral("BE"));
    ASSERT_FALSE(caixas.empty());
    EXPECT_EQ(caixas.shown().front().text,
              QStringLiteral("Número da autorização: ") + ctx.transacao.NsuTransacao);
    EXPECT_NE(valorInteiro(ctx.transacao.NsuTransacao), valorInteiro(nsu));
    EXPECT_TRUE(recibo.apareceu || GetQtdLinha(ctx) > 0);

    // The same NSU again, without products ("XX"): the host's refusal is the only message.
    caixas.clear();
    QTimer::singleShot(0, [&] {
        auto* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        auto* campo = w->findChild<QLineEdit*>(QStringLiteral("txtNSU"));
        QTest::keyClicks(campo, digitado);
        QTest::keyClick(campo, Qt::Key_F3);
    });
    ExecutaFormCancela(*loja.janela);
    EXPECT_EQ(ctx.transacao.TipoTransacao, QStringLiteral("XX"));
    ASSERT_EQ(caixas.shown().size(), 1u);
    EXPECT_EQ(caixas.last().text, QStringLiteral("TRANSACAO JA CANCELADA"));
}

TEST_F(Loja, ScreensWithoutAJournalToShowNeverOpen) {
    // An operadora without any transaction at the host, so that only the files written here
    // are there.
    const QString codigo = QStringLiteral("00000789");
    ctx.ident.CodigoOperadora = codigo;
    const QString dir = ctx.config.PathServer;

    JournalTable vazia;
    vazia.title = QStringLiteral("Sem linhas");
    JournalTable comLinha;
    comLinha.title = QStringLiteral("Uma linha");
    comLinha.columns = journalColumns(JournalKind::TransacoesLote);
    vazia.columns = comLinha.columns;
    comLinha.rows.push_back(
        {"1", "5", "261205100000", "C", "A", "BC", "P", "", "1", "100", "0", "0", "0"});

    struct Caso {
        const char* nome;
        JournalKind kind;
        const JournalTable* tabela;  // nullptr: no file
        bool corrompe;
        QString mensagem;  // prefix of the message
        Icon icone;
    };
    const Caso casos[] = {
        {"pending, missing", JournalKind::TransacoesPendentes, nullptr, false,
         QStringLiteral("Não existem registros a serem exibidos! Arquivo TP00000789.S?? não foi "
                        "encontrado."),
         Icon::Information},
        {"pending, corrupt", JournalKind::TransacoesPendentes, &comLinha, true,
         QStringLiteral("Arquivo "), Icon::Critical},
        {"pending, empty", JournalKind::TransacoesPendentes, &vazia, false,
         QStringLiteral("Não existem registros a serem exibidos!"), Icon::Information},
        {"lot, missing", JournalKind::TransacoesLote, nullptr, false,
         QStringLiteral("Não existem registros a serem exibidos! Arquivo TS00000789-000007.S?? "
                        "não foi encontrado."),
         Icon::Information},
        {"lot, corrupt", JournalKind::TransacoesLote, &comLinha, true, QStringLiteral("Arquivo "),
         Icon::Critical},
        {"lot, empty", JournalKind::TransacoesLote, &vazia, false,
         QStringLiteral("Não existem registros a serem exibidos!"), Icon::Information},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nome);
        for (const QString& velho : QDir(dir).entryList({QStringLiteral("*00000789*")}))
            QFile::remove(QDir(dir).filePath(velho));
        if (caso.tabela) {
            QString caminho, erro;
            ASSERT_TRUE(writeJournal(dir, journalBaseName(caso.kind, 1, codigo, 7), *caso.tabela,
                                     &erro, &caminho))
                << erro.toStdString();
            if (caso.corrompe) {
                // The same contents under another checksum.
                const QString outro = caminho.endsWith(QLatin1String("00"))
                                          ? caminho.left(caminho.size() - 2) + "01"
                                          : caminho.left(caminho.size() - 2) + "00";
                ASSERT_TRUE(QFile::rename(caminho, outro));
            }
        }
        ctx.TelaAtual = QStringLiteral("ADMINISTRATIVA");
        loja.janela->setImprimirDisponivel(false);
        caixas.clear();
        const bool pendentes = caso.kind == JournalKind::TransacoesPendentes;
        if (pendentes) {
            AbreFormConsulta(*loja.janela);
        } else {
            AbreFormNsu(*loja.janela, QStringLiteral("7"));
        }
        ASSERT_EQ(caixas.shown().size(), 1u) << caixas.texts().join(" | ").toStdString();
        EXPECT_TRUE(caixas.last().text.startsWith(caso.mensagem))
            << caixas.last().text.toStdString();
        if (caso.corrompe) {
            EXPECT_TRUE(
                caixas.last().text.endsWith(QStringLiteral(" corrompido ! Contatar o suporte !")));
        }
        EXPECT_EQ(caixas.last().icon, caso.icone);
        EXPECT_EQ(caixas.last().title, kAtencao);
        EXPECT_EQ(achaTela(pendentes ? QStringLiteral("FormConsulta") : QStringLiteral("FormNsu")),
                  nullptr);
        EXPECT_EQ(ctx.TelaAtual, QStringLiteral("ADMINISTRATIVA"));
        EXPECT_FALSE(loja.janela->mnuImprimir()->isEnabled());
    }
}

}  // namespace
}  // namespace ql
