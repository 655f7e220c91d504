// A whole day at the counter, driven with key presses through the real screens over the demo
// store and the embedded simulated host: a pre-sale of thirteen products (two pages, one of
// them refused by the host, one chosen from a multi-page product list and confirmed in the
// product entry dialog), then the sale of that pre-authorisation with its receipt printed and
// confirmed and the till export file written.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTimer>
#include <QWindow>

#include "host/transacoes.h"
#include "sale/grade_autorizacao.h"
#include "sale/screens/form_consulta_produtos.h"
#include "sale/screens/form_pre_venda.h"
#include "sale/transacoes_produtos.h"
#include "support/ui/loja_demo.h"
#include "ui/impressao.h"
#include "ui/telas.h"

namespace ql {
namespace {

using Icon = MessageBoxes::Icon;

// Runs `acao` on the modal dialog named `nome` as soon as it is the active modal widget (the
// dialog's exec() is running); fails the test and closes whatever is modal when it never comes.
void quandoModal(const QString& nome, std::function<void(QWidget*)> acao, int prazoMs = 8000) {
    auto* espera = new QTimer;
    auto inicio = std::make_shared<QDeadlineTimer>(prazoMs);
    espera->setInterval(10);
    QObject::connect(espera, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == nome) {
            espera->stop();
            espera->deleteLater();
            acao(modal);
        } else if (inicio->hasExpired()) {
            espera->stop();
            espera->deleteLater();
            ADD_FAILURE() << "the modal " << nome.toStdString() << " never opened";
            if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
        }
    });
    espera->start();
}

template <class T>
T* filho(QWidget* tela, const char* nome) {
    T* w = tela ? tela->findChild<T*>(QString::fromLatin1(nome)) : nullptr;
    EXPECT_NE(w, nullptr) << nome;
    return w;
}

void digita(QWidget* campo, const QString& texto, bool enter = true) {
    campo->setFocus();
    QTest::keyClicks(campo, texto);
    if (enter) QTest::keyClick(campo, Qt::Key_Return);
}

// The window that has the keyboard. A bare X server has no window manager to hand the
// keyboard back to the main window when a dialog closes: the test does what it would.
QWindow* janelaComTeclado() {
    if (!QGuiApplication::focusWindow()) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && qobject_cast<FormPrincipal*>(w)) {
                w->activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(w));
            }
        }
    }
    return QGuiApplication::focusWindow();
}

// Keys pressed at the keyboard: they go to the window that has the focus and from there to
// whatever control the screens left focused, as at a real display.
void tecla(Qt::Key k) {
    QWindow* janela = janelaComTeclado();
    ASSERT_NE(janela, nullptr) << "no window has the keyboard";
    QTest::keyClick(janela, k);
}
void teclas(const QString& texto, bool enter = true) {
    QWindow* janela = janelaComTeclado();
    ASSERT_NE(janela, nullptr) << "no window has the keyboard";
    for (QChar c : texto) QTest::keyClick(janela, c.toLatin1());
    if (enter) QTest::keyClick(janela, Qt::Key_Return);
}

// The control that would receive the next key, by object name.
QString foco() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// Identifies card `cartao` of the first operadora on the card identification screen, with
// the keys a cashier presses: Home and Enter on the operadora list, the card number, Enter.
QWidget* identificaCartao(const QString& cartao) {
    QWidget* inicial = test::achaTela("FormInicial");
    EXPECT_NE(inicial, nullptr);
    EXPECT_TRUE(test::esperaAte([&] { return inicial->isVisible(); }));
    EXPECT_TRUE(test::esperaAte([&] { return foco() == u"cbOperadora"; })) << foco().toStdString();
    tecla(Qt::Key_Home);    // the first operadora
    tecla(Qt::Key_Return);  // confirms it
    EXPECT_EQ(foco(), QStringLiteral("txtCartao"));
    teclas(cartao);
    return inicial;
}

const QStringList kPaginaUm = {
    QStringLiteral("7891000424452"), QStringLiteral("7891037197725"),
    QStringLiteral("7891074517500"), QStringLiteral("7891111853196"),
    QStringLiteral("7891148063285"), QStringLiteral("7892036764147"),  // CLONAZEPAM: refused
    QStringLiteral("7891222702390"), QStringLiteral("7891259123373"),
    QStringLiteral("7891296479310"), QStringLiteral("7891333763877"),
    QStringLiteral("7891370076022"), QStringLiteral("7891407665106"),
};

TEST(VendaAoBalcao, PreSaleThenSaleWithReceiptAndExport) {
    test::LojaDemo loja([](FormPrincipal& j) { AbreFormInicial(j); });
    Context& ctx = loja.ctx();
    auto& caixas = loja.caixas();
    caixas.clear();

    // Pre-sale: card, F2, twelve products by code, the thirteenth chosen from the list of "MG".
    identificaCartao(QStringLiteral("6062820000000001"));
    tecla(Qt::Key_F2);
    auto* preVenda = test::achaTela<FormPreVenda>(QStringLiteral("FormPreVenda"));
    ASSERT_NE(preVenda, nullptr) << caixas.texts().join(" | ").toStdString();
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("PREVENDA"));
    ASSERT_TRUE(test::esperaAte([&] { return foco() == u"txtPesquisa"; })) << foco().toStdString();
    for (const QString& ean : kPaginaUm) teclas(ean);
    ASSERT_EQ(preVenda->grade().rowCount(), 12) << caixas.texts().join(" | ").toStdString();
    // The query gives each product its manufacturer.
    EXPECT_EQ(preVenda->grade().texto(1, GradeAutorizacao::Fabricante), QStringLiteral("EMS"));

    // "MG" brings four pages: Page Down at the last row of the first loads the second; the
    // first row of the second page is chosen and confirmed in the entry dialog.
    quandoModal(QStringLiteral("FormConsultaProdutos"), [](QWidget* consulta) {
        auto* grade = consulta->findChild<QTableView*>(QStringLiteral("spdProduto"));
        ASSERT_NE(grade, nullptr);
        const QString primeiro = grade->model()->index(0, 0).data().toString();
        grade->setFocus();
        grade->setCurrentIndex(grade->model()->index(grade->model()->rowCount() - 1, 0));
        QTest::keyClick(grade, Qt::Key_PageDown);
        EXPECT_NE(grade->model()->index(0, 0).data().toString(), primeiro);
        quandoModal(QStringLiteral("FormSelecaoProduto"),
                    [](QWidget* dialogo) { QTest::keyClick(dialogo, Qt::Key_F3); });
        grade->setCurrentIndex(grade->model()->index(0, 0));
        QTest::keyClick(grade, Qt::Key_Return);
    });
    teclas(QStringLiteral("MG"));
    ASSERT_EQ(preVenda->grade().rowCount(), 13) << caixas.texts().join(" | ").toStdString();

    caixas.clear();
    tecla(Qt::Key_F5);
    ASSERT_TRUE(test::esperaAte(
        [&] { return test::achaTela("FormPreVenda") == nullptr || !preVenda->isVisible(); }));
    // The host's verdicts came back per product: the refused one carries status 45.
    ASSERT_EQ(ctx.itensVenda.count, 13);
    EXPECT_EQ(ctx.itensVenda.item(6).status.trimmed(), QStringLiteral("45"));
    ASSERT_FALSE(caixas.empty());
    EXPECT_TRUE(caixas.texts().join('|').contains(ctx.transacao.NsuTransacao.trimmed()))
        << caixas.texts().join(" | ").toStdString();
    EXPECT_TRUE(test::esperaAte([&] { return test::achaTela("FormInicial")->isVisible(); }));
    const QString nsuPreVenda = ctx.transacao.NsuTransacao;

    // Sale of that pre-authorisation: card again, F4; the products come from the host.
    QDir(loja.t.path(QStringLiteral("export"))).removeRecursively();
    QDir().mkpath(loja.t.path(QStringLiteral("export")));
    identificaCartao(QStringLiteral("6062820000000001"));
    caixas.clear();
    tecla(Qt::Key_F4);
    auto* venda = test::achaTela<FormPreVenda>(QStringLiteral("FormPreVenda"));
    ASSERT_NE(venda, nullptr) << caixas.texts().join(" | ").toStdString();
    ASSERT_TRUE(test::esperaAte([&] { return venda->isVisible(); }));
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("VENDA"));
    EXPECT_EQ(venda->grade().rowCount(), 12) << "the refused product is not pre-authorised";
    QStringList preAutorizados;
    for (int linha = 1; linha <= venda->grade().linhas(); ++linha)
        preAutorizados << venda->grade().texto(linha, GradeAutorizacao::Codigo).trimmed();
    // The search frame is hidden: the fiscal document has the focus and no key searches.
    ASSERT_TRUE(test::esperaAte([&] { return foco() == u"txtNrDocFiscal"; }))
        << foco().toStdString();

    // The receipt: printed (F8) to a PDF, then confirmed (F5).
    QStringList recibo;
    quandoModal(QStringLiteral("FormImpressao"), [&](QWidget* impressao) {
        auto* linhas = impressao->findChild<QListWidget*>(QStringLiteral("lstImpressao"));
        ASSERT_NE(linhas, nullptr);
        for (int i = 0; i < linhas->count(); ++i) recibo << linhas->item(i)->text();
        QTest::keyClick(impressao, Qt::Key_F8);
        QTest::keyClick(impressao, Qt::Key_F5);
    });
    teclas(QStringLiteral("445566"));
    ASSERT_TRUE(test::esperaAte([&] { return test::achaTela("FormInicial")->isVisible(); }));
    // Exactly the pre-authorised products were sold.
    QStringList vendidos;
    for (const ItemVenda& item : ctx.itensVenda.itens.mid(0, ctx.itensVenda.count))
        vendidos << item.codigo.trimmed();
    EXPECT_EQ(vendidos, preAutorizados);
    EXPECT_NE(ctx.transacao.NsuTransacao, nsuPreVenda);
    EXPECT_GT(recibo.size(), 12 * 3) << "the products and the host's receipt lines";
    EXPECT_TRUE(UltimoArquivoImpresso(ctx).startsWith(loja.t.path(QStringLiteral("prints"))));
    const QString exportado = loja.t.path(QStringLiteral("export/")) +
                              QString::number(ctx.transacao.NsuTransacao.toLongLong()) +
                              QStringLiteral(".TRC");
    EXPECT_TRUE(QFile::exists(exportado)) << exportado.toStdString();
}

// Drives the grid of a screen to the row whose column `coluna` holds `valor` (compared as a
// number); false when no row does.
bool vaiParaLinha(QTableView* grade, int coluna, const QString& valor) {
    for (int r = 0; r < grade->model()->rowCount(); ++r) {
        if (grade->model()->index(r, coluna).data().toString().trimmed().toLongLong() ==
            valor.trimmed().toLongLong()) {
            grade->setFocus();
            grade->setCurrentIndex(grade->model()->index(r, coluna));
            grade->selectionModel()->select(
                grade->currentIndex(),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return true;
        }
    }
    return false;
}

// A manager's afternoon: login from the card identification screen, the sales summary, the
// lot of the day's sale, one unit of one item cancelled from the transaction's products and
// then the rest of the transaction cancelled, each with the authorisation number and the
// receipt confirmed.
TEST(AdministracaoAoBalcao, LotFromTheSummaryPartialAndTotalCancellationWithReceipts) {
    test::LojaDemo loja([](FormPrincipal& j) { AbreFormInicial(j); });
    Context& ctx = loja.ctx();
    auto& caixas = loja.caixas();

    // The day's sale: the stored pre-authorisation of card 0004, confirmed.
    ctx.TelaAtual = QStringLiteral("VENDA");
    ctx.ident.NumeroCartao = QStringLiteral("6062820000000004");
    ctx.ident.OperadoraSelecionada = 1;
    ctx.ident.NomeOperadora = QStringLiteral("QUILLANE SAUDE");
    ctx.ident.CodigoOperadora = QStringLiteral("00000123");
    GradeAutorizacao grade;
    ASSERT_TRUE(Mensagem_ElegPortador(ctx, 0));
    ASSERT_TRUE(Recupera_Pre(ctx, grade, 0));
    ASSERT_TRUE(CarregaItemVenda_Grid(ctx, grade));
    ASSERT_TRUE(Mensagem_GeracaoPre(ctx, grade, QStringLiteral("778899")));
    ASSERT_TRUE(Mensagem_Confirmacao(ctx));
    const QString nsuVenda = ctx.transacao.NsuTransacao;
    caixas.clear();

    // F5 on the first screen: login as MNG1, into the administrative menu.
    QWidget* inicial = test::achaTela("FormInicial");
    ASSERT_NE(inicial, nullptr);
    AbreFormInicial(*loja.janela);
    quandoModal(QStringLiteral("formLogin"), [](QWidget* login) {
        digita(login->findChild<QLineEdit*>(QStringLiteral("txtUserName")), QStringLiteral("MNG1"),
               false);
        digita(login->findChild<QLineEdit*>(QStringLiteral("txtPassword")), QStringLiteral("1234"),
               false);
        QTest::keyClick(login, Qt::Key_F3);
    });
    auto* operadoras = filho<QComboBox>(inicial, "cbOperadora");
    operadoras->setFocus();
    QTest::keyClick(operadoras, Qt::Key_Down);  // the first operadora
    QTest::keyClick(operadoras, Qt::Key_F5);
    QWidget* menu = test::achaTela("FormComplementar");
    ASSERT_NE(menu, nullptr) << caixas.texts().join(" | ").toStdString();
    ASSERT_TRUE(test::esperaAte([&] { return menu->isVisible(); }));

    // F6: the sales summary; F8 on its lot: the lot's transactions.
    QTest::keyClick(menu, Qt::Key_F6);
    QWidget* resumo = test::achaTela("FormResumo");
    ASSERT_NE(resumo, nullptr) << caixas.texts().join(" | ").toStdString();
    QTest::keyClick(resumo, Qt::Key_F8);
    QWidget* lote = test::achaTela("FormNsu");
    ASSERT_NE(lote, nullptr) << caixas.texts().join(" | ").toStdString();
    auto* transacoes = filho<QTableView>(lote, "spdNsu");
    int colunaNsu = -1;
    for (int c = 0; c < transacoes->model()->columnCount() && colunaNsu < 0; ++c)
        if (vaiParaLinha(transacoes, c, nsuVenda)) colunaNsu = c;
    ASSERT_GE(colunaNsu, 0) << "the sale is in its lot";

    // F8: the transaction's products; one unit of the first item cancelled.
    QTest::keyClick(lote, Qt::Key_F8);
    QWidget* produtos = test::achaTela("FormResumoProdutos");
    ASSERT_NE(produtos, nullptr) << caixas.texts().join(" | ").toStdString();
    auto* itens = filho<QTableView>(produtos, "spdProdutos");
    ASSERT_GT(itens->model()->rowCount(), 0);
    itens->setFocus();
    itens->selectRow(0);
    int recibos = 0;
    quandoModal(QStringLiteral("frmCancelaProdutos"), [&](QWidget* item) {
        auto* quantidade = item->findChild<QLineEdit*>(QStringLiteral("txtQuantidade"));
        quantidade->selectAll();
        digita(quantidade, QStringLiteral("1"), false);
        quandoModal(QStringLiteral("FormImpressao"), [&](QWidget* recibo) {
            ++recibos;
            QTest::keyClick(recibo, Qt::Key_F5);
        });
        QTest::keyClick(item, Qt::Key_F3);
    });
    caixas.clear();
    QTest::keyClick(produtos, Qt::Key_F6);
    ASSERT_TRUE(test::esperaAte([&] { return recibos == 1; }))
        << caixas.texts().join(" | ").toStdString();
    ASSERT_FALSE(caixas.empty());
    EXPECT_TRUE(caixas.shown().front().text.startsWith(QStringLiteral("Número da autorização: ")))
        << caixas.texts().join(" | ").toStdString();

    // Back on the lot (Esc on the products): F4 cancels what is left of the transaction.
    QTest::keyClick(produtos, Qt::Key_Escape);
    ASSERT_TRUE(vaiParaLinha(transacoes, colunaNsu, nsuVenda));
    quandoModal(QStringLiteral("FormImpressao"), [&](QWidget* recibo) {
        ++recibos;
        QTest::keyClick(recibo, Qt::Key_F5);
    });
    caixas.clear();
    QTest::keyClick(lote, Qt::Key_F4);
    ASSERT_TRUE(test::esperaAte([&] { return recibos == 2; }))
        << caixas.texts().join(" | ").toStdString();
    EXPECT_TRUE(caixas.shown().front().text.startsWith(QStringLiteral("Número da autorização: ")))
        << caixas.texts().join(" | ").toStdString();
}

}  // namespace
}  // namespace ql
