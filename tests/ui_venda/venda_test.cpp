// A whole day at the counter, driven with key presses through the real screens over the demo
// store and the embedded simulated host: a pre-sale of thirteen products (two pages, one of
// them refused by the host, one chosen from a multi-page product list and confirmed in the
// product entry dialog), then the sale of that pre-authorisation with its receipt printed and
// confirmed and the till export file written.
#include <QDir>
#include <QFile>
#include <QTableView>

#include "sale/grade_autorizacao.h"
#include "sale/screens/form_consulta_produtos.h"
#include "sale/screens/form_pre_venda.h"
#include "support/ui/loja_demo.h"
#include "support/ui/teclado.h"
#include "ui/impressao.h"
#include "ui/telas.h"

namespace ql {
namespace {

using test::foco;
using test::pressiona;
using test::teclas;

// Identifies card `cartao` of the first operadora on the card identification screen, with
// the keys a cashier presses: Home and Enter on the operadora list, the card number, Enter.
void identificaCartao(const QString& cartao) {
    QWidget* inicial = test::achaTela("FormInicial");
    ASSERT_TRUE(inicial && test::esperaAte([&] { return inicial->isVisible(); }));
    EXPECT_TRUE(test::esperaAte([&] { return foco() == u"cbOperadora"; })) << foco().toStdString();
    pressiona(Qt::Key_Home);    // the first operadora
    pressiona(Qt::Key_Return);  // confirms it
    EXPECT_EQ(foco(), QStringLiteral("txtCartao"));
    teclas(cartao);
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
    auto mensagens = [&] { return caixas.texts().join(" | ").toStdString(); };
    caixas.clear();

    // Pre-sale: card, F2, twelve products by code, the thirteenth chosen from the list of "MG".
    identificaCartao(QStringLiteral("6062820000000001"));
    pressiona(Qt::Key_F2);
    auto* preVenda = test::achaTela<FormPreVenda>(QStringLiteral("FormPreVenda"));
    ASSERT_NE(preVenda, nullptr) << mensagens();
    EXPECT_EQ(ctx.TelaAtual, QStringLiteral("PREVENDA"));
    ASSERT_TRUE(test::esperaAte([&] { return foco() == u"txtPesquisa"; })) << foco().toStdString();
    for (const QString& ean : kPaginaUm) teclas(ean);
    ASSERT_EQ(preVenda->grade().rowCount(), 12) << mensagens();

    // "MG" brings four pages: Page Down at the last row of the first loads the second; the
    // first row of the second page is chosen and confirmed in the entry dialog.
    test::quandoModal(QStringLiteral("FormConsultaProdutos"), [](QWidget* consulta) {
        auto* grade = consulta->findChild<QTableView*>(QStringLiteral("spdProduto"));
        ASSERT_NE(grade, nullptr);
        const QString primeiro = grade->model()->index(0, 0).data().toString();
        grade->setFocus();
        grade->setCurrentIndex(grade->model()->index(grade->model()->rowCount() - 1, 0));
        QTest::keyClick(grade, Qt::Key_PageDown);
        EXPECT_NE(grade->model()->index(0, 0).data().toString(), primeiro);
        test::quandoModal(QStringLiteral("FormSelecaoProduto"),
                          [](QWidget* dialogo) { QTest::keyClick(dialogo, Qt::Key_F3); });
        grade->setCurrentIndex(grade->model()->index(0, 0));
        QTest::keyClick(grade, Qt::Key_Return);
    });
    teclas(QStringLiteral("MG"));
    ASSERT_EQ(preVenda->grade().rowCount(), 13) << mensagens();

    // F5 sends both pages; the cashier sees the pre-authorisation's NSU.
    caixas.clear();
    pressiona(Qt::Key_F5);
    ASSERT_TRUE(test::esperaAte([&] { return test::achaTela("FormInicial")->isVisible(); }));
    EXPECT_TRUE(caixas.texts().join('|').contains(ctx.transacao.NsuTransacao.trimmed()))
        << mensagens();
    const QString nsuPreVenda = ctx.transacao.NsuTransacao;

    // Sale of that pre-authorisation: card again, F4; the products come from the host.
    QDir(loja.t.path(QStringLiteral("export"))).removeRecursively();
    QDir().mkpath(loja.t.path(QStringLiteral("export")));
    identificaCartao(QStringLiteral("6062820000000001"));
    pressiona(Qt::Key_F4);
    auto* venda = test::achaTela<FormPreVenda>(QStringLiteral("FormPreVenda"));
    ASSERT_NE(venda, nullptr) << mensagens();
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
    test::quandoModal(QStringLiteral("FormImpressao"), [&](QWidget* impressao) {
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
    EXPECT_TRUE(UltimoArquivoImpresso(ctx).startsWith(loja.t.path(QStringLiteral("prints"))));
    const QString exportado = loja.t.path(QStringLiteral("export/")) +
                              QString::number(ctx.transacao.NsuTransacao.toLongLong()) +
                              QStringLiteral(".TRC");
    EXPECT_TRUE(QFile::exists(exportado)) << exportado.toStdString();

    // The manager's F5 on the first screen: the login, then the administrative menu.
    test::quandoModal(QStringLiteral("formLogin"), [](QWidget* login) {
        test::digita("txtUserName", "MNG1", Qt::Key_unknown).faz(login);
        test::digita("txtPassword", "1234", Qt::Key_F3).faz(login);
    });
    pressiona(Qt::Key_F5);
    EXPECT_TRUE(test::esperaAte([] { return test::achaTela("FormComplementar") != nullptr; }))
        << mensagens();
}

}  // namespace
}  // namespace ql
