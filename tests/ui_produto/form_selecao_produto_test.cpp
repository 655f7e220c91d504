#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "host/transacoes.h"
#include "sale/grade_autorizacao.h"
#include "sale/pre_venda.h"
#include "sale/screens/form_selecao_produto.h"
#include "sale/transacoes_produtos.h"
#include "support/ui/loja_demo.h"
#include "ui/telas.h"

namespace ql {
namespace {

using G = GradeAutorizacao;
using Icon = MessageBoxes::Icon;

constexpr int kBeneficioMais = 3;  // the demo operadora that asks for a prescription number
constexpr int kQuillaneSaude = 1;

// Keys as the cashier types them: to whichever control has the focus.
void tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QWidget* alvo = QApplication::focusWidget();
    ASSERT_NE(alvo, nullptr);
    QTest::keyClick(alvo, k, m);
    QCoreApplication::processEvents();
}
void digita(const QString& texto) {
    for (QChar c : texto) {
        QWidget* alvo = QApplication::focusWidget();
        ASSERT_NE(alvo, nullptr);
        QTest::keyClicks(alvo, QString(c));
    }
    QCoreApplication::processEvents();
}

struct SelecaoNaLoja : ::testing::Test {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    GradeAutorizacao grade;

    // The card's eligibility, as the card identification screen asks it.
    void elegibilidade(const char* cartao, int operadora, const char* modo) {
        ctx.ident.NumeroCartao = QString::fromLatin1(cartao);
        ctx.ident.OperadoraSelecionada = operadora;
        ctx.ident.NomeOperadora = ctx.operadoras.at(operadora).nome.trimmed();
        ctx.ident.CodigoOperadora = ctx.operadoras.at(operadora).codigo;
        ctx.TelaAtual = QString::fromLatin1(modo);
        const auto& reg = ctx.operadoras.at(operadora);
        grade.configura(reg.complemento.tipo, reg.complemento.rotulo,
                        ctx.TelaAtual == QLatin1String("VENDA"));
        ASSERT_TRUE(Mensagem_ElegPortador(ctx, 0)) << loja.caixas().texts().join('|').toStdString();
    }

    // A product of the host's query, handed over as the query screen does.
    void produtoDaConsulta(const QString& busca) {
        ResultadoConsulta consulta;
        ASSERT_TRUE(Mensagem_Consulta_Produtos(ctx, busca, 0, consulta, &grade));
        ASSERT_TRUE(ObtemProduto(ctx, consulta, 1, OrigemProduto::Consulta));
        ctx.SelecaoViaConsulta = true;
    }

    // The dialog shown and active, as exec() would have it, but driven from the test.
    std::unique_ptr<FormSelecaoProduto> abre() {
        auto d = std::make_unique<FormSelecaoProduto>(ctx, grade, loja.janela.get());
        d->show();
        d->activateWindow();
        EXPECT_TRUE(test::esperaAte([&] { return d->isActiveWindow(); }));
        d->findChild<QLineEdit*>("txtQuantidade")->setFocus();
        QCoreApplication::processEvents();
        loja.caixas().clear();
        return d;
    }

    static QLineEdit* caixa(QWidget* d, const char* nome) {
        auto* c = d->findChild<QLineEdit*>(QLatin1String(nome));
        EXPECT_NE(c, nullptr) << nome;
        return c;
    }
};

TEST_F(SelecaoNaLoja, EstablishmentTypingWritesTheGridRow) {
    elegibilidade("6062820000000001", kBeneficioMais, "PREVENDA");
    produtoDaConsulta(QStringLiteral("7891000424452"));
    auto d = abre();
    QLineEdit* quantidade = caixa(d.get(), "txtQuantidade");
    QLineEdit* bruto = caixa(d.get(), "txtPrc_Bruto_Prd");
    QLineEdit* complemento = caixa(d.get(), "txtComplemento1");

    // The logic's presentation reaches the widgets; the establishment changes neither price.
    EXPECT_EQ(d->windowTitle(), "Seleção do Produto");
    EXPECT_TRUE(complemento->isVisible());
    EXPECT_EQ(d->height(), (4215 - 405) / 15);
    EXPECT_EQ(d->findChild<QPushButton*>("cmdOk")->y(), 208);
    EXPECT_TRUE(caixa(d.get(), "txtProduto")->text().startsWith("7891000424452 - DIPIRONA"));
    EXPECT_EQ(quantidade->maxLength(), 3);
    QStringList valores;
    for (const char* nome : {"txtQuantidade", "txtPrc_Bruto_Prd", "txtValDescPrd", "txtPrc_Liq_Prd",
                             "txValor_Cred_Prd", "txtFabricante"})
        valores << caixa(d.get(), nome)->text();
    EXPECT_EQ(valores, QStringList({"1", "8,90", "20,00", "7,12", "3,56", "EMS"}));
    EXPECT_TRUE(caixa(d.get(), "txtValDescPrd")->isReadOnly());
    EXPECT_EQ(caixa(d.get(), "txtValDescPrd")->focusPolicy(), Qt::NoFocus);
    QTest::keyClicks(bruto, "5");
    EXPECT_EQ(bruto->text(), "8,90");

    // Quantity: only digits get in.
    quantidade->selectAll();
    digita("a2x.");
    EXPECT_EQ(quantidade->text(), "2");

    // F3 checks the prescription number: empty or with a letter, it is not a number.
    tecla(Qt::Key_F3);
    EXPECT_EQ(QApplication::focusWidget(), complemento);
    digita("12a");
    tecla(Qt::Key_F3);
    EXPECT_EQ(loja.caixas().texts(), QStringList(2, "O campo Nr Receita só aceita números."));
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(grade.linhas(), 0);

    // A refused box comes back with its whole text selected: typing replaces it.
    digita("123");
    EXPECT_EQ(complemento->text(), "123");
    // Enter in the prescription moves on to OK; Enter there confirms.
    tecla(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), d->findChild<QPushButton*>("cmdOk"));
    tecla(Qt::Key_Return);
    EXPECT_TRUE(d->gravou());
    EXPECT_FALSE(d->isVisible());
    ASSERT_EQ(grade.linhas(), 1);
    EXPECT_EQ(grade.texto(1, G::Quantidade), "2");
    EXPECT_EQ(grade.texto(1, G::ValorOperadora), "123");
}

TEST_F(SelecaoNaLoja, DistributorEditsPricesWithTheMoneyKeys) {
    ctx.TipoEstab = 3;
    elegibilidade("6062820000000001", kQuillaneSaude, "PREVENDA");
    produtoDaConsulta(QStringLiteral("7891000424452"));
    auto d = abre();
    QLineEdit* bruto = caixa(d.get(), "txtPrc_Bruto_Prd");
    QLineEdit* desconto = caixa(d.get(), "txtValDescPrd");
    QLineEdit* liquido = caixa(d.get(), "txtPrc_Liq_Prd");
    QLineEdit* receber = caixa(d.get(), "txValor_Cred_Prd");
    ASSERT_FALSE(desconto->isReadOnly());
    EXPECT_FALSE(caixa(d.get(), "txtComplemento1")->isVisible());

    // Gross price typed from the right; Enter moves on by two fields.
    bruto->setFocus();
    tecla(Qt::Key_Backspace);
    EXPECT_EQ(bruto->text(), "0,00");
    digita("1250");
    EXPECT_EQ(bruto->text(), "12,50");
    tecla(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), liquido);
    ASSERT_TRUE(test::esperaAte([&] { return liquido->text() == "10,00"; }))
        << liquido->text().toStdString();
    EXPECT_EQ(receber->text(), "5,00");  // keeps half of the net price

    // A discount below the loaded one is refused and put back.
    desconto->setFocus();
    tecla(Qt::Key_Backspace);
    EXPECT_EQ(desconto->text(), "0,00");
    tecla(Qt::Key_Tab);
    ASSERT_TRUE(test::esperaAte([&] { return !loja.caixas().empty(); }));
    EXPECT_EQ(loja.caixas().last().text, "Não é permitido desconto menor que o desconto original!");
    EXPECT_EQ(loja.caixas().last().icon, Icon::Information);
    EXPECT_EQ(desconto->text(), "20,00");
    EXPECT_EQ(QApplication::focusWidget(), desconto);
    QCoreApplication::processEvents();  // the returning focus selects the box

    // The whole five characters selected start a new discount; a sixth character is refused.
    desconto->selectAll();
    digita("2500");
    EXPECT_EQ(desconto->text(), "25,00");
    digita("1");
    EXPECT_EQ(desconto->text(), "25,00");
    // F3 counts the discount box as left: net 9,38, payment 4,69.
    tecla(Qt::Key_F3);
    EXPECT_TRUE(d->gravou());
    ASSERT_EQ(grade.linhas(), 1);
    EXPECT_EQ(QStringList({grade.texto(1, G::PMC), grade.texto(1, G::Desconto),
                           grade.texto(1, G::PrecoVenda), grade.texto(1, G::PagtoCliente)}),
              QStringList({"12,50", "25,00", "9,38", "4,69"}));
}

TEST_F(SelecaoNaLoja, FunctionKeysActOnlyWhileTheirButtonIsEnabled) {
    auto& layout = ctx.telas.FormSelecaoProduto[1];
    layout.cmdOk_Caption.enabled = false;
    layout.cmdCancel_Caption.enabled = false;
    elegibilidade("6062820000000001", kQuillaneSaude, "PREVENDA");
    produtoDaConsulta(QStringLiteral("7891000424452"));
    auto d = abre();
    tecla(Qt::Key_F3);
    tecla(Qt::Key_F12);
    tecla(Qt::Key_Escape);
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(loja.caixas().empty());
    EXPECT_EQ(grade.linhas(), 0);
    // Enter in the quantity runs OK all the same: the product goes into the list.
    tecla(Qt::Key_Return);
    EXPECT_TRUE(d->gravou());
    EXPECT_EQ(grade.linhas(), 1);

    layout.cmdCancel_Caption.enabled = true;
    d = abre();
    tecla(Qt::Key_F12);
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(d->gravou());
}

}  // namespace
}  // namespace ql
