#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "host/transacoes.h"
#include "sale/grade_autorizacao.h"
#include "sale/screens/form_selecao_produto.h"
#include "sale/transacoes_produtos.h"
#include "support/ui/loja_demo.h"
#include "ui/telas.h"
#include "vigia_modal.h"

namespace ql {
namespace {

using G = GradeAutorizacao;
using R = ResultadoConsulta;
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

    // The eligibility of a card for the operadora, as the card identification screen does it.
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

    // A product found by the host's query, handed over as the product query screen does:
    // entry 1 from the result row, quantity 1.
    void produtoDaConsulta(const QString& busca) {
        ResultadoConsulta consulta;
        ASSERT_TRUE(Mensagem_Consulta_Produtos(ctx, busca, 0, consulta, &grade));
        ASSERT_GE(consulta.linhas(), 1);
        ctx.itensVenda.clear();
        ItemVenda& item = ctx.itensVenda.item(1);
        item.descricao = consulta.texto(1, R::Descricao);
        item.fabricante = consulta.texto(1, R::Fabricante);
        item.embalagem = consulta.texto(1, R::Embalagem);
        item.quantidade = QStringLiteral("1");
        item.valorBruto = consulta.texto(1, R::PrecoBruto);
        item.desconto = consulta.texto(1, R::Desconto);
        item.valorLiquido = consulta.texto(1, R::PrecoLiquido);
        item.valorReceber = consulta.texto(1, R::ValorReceber);
        item.codigo = consulta.texto(1, R::Codigo);
        item.valorLiquidoConsulta = consulta.texto(1, R::ValorLiquidoDll);
        ctx.itensVenda.count = 1;
        ctx.SelecaoViaConsulta = true;
    }

    // A grid row handed over for editing, as the authorisation screen's edit command does.
    void produtoDaGrade(int linha) {
        ctx.itensVenda.clear();
        ItemVenda& item = ctx.itensVenda.item(1);
        item.descricao = grade.texto(linha, G::Descricao);
        item.fabricante = grade.texto(linha, G::Fabricante);
        item.embalagem = grade.texto(linha, G::Embalagem);
        item.quantidade = grade.texto(linha, G::Quantidade);
        item.valorBruto = grade.texto(linha, G::PMC);
        item.desconto = grade.texto(linha, G::Desconto);
        item.valorLiquido = grade.texto(linha, G::PrecoVenda);
        item.valorReceber = grade.texto(linha, G::PagtoCliente);
        item.codigo = grade.texto(linha, G::Codigo);
        item.valorOperadora = grade.texto(linha, G::ValorOperadora);
        item.valorLiquidoConsulta = grade.texto(linha, G::ValorLiquidoDll);
        ctx.itensVenda.count = 1;
        ctx.SelecaoViaConsulta = false;
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

TEST_F(SelecaoNaLoja, ComplementaryFieldFollowsTheOperadora) {
    const struct {
        const char* caso;
        int operadora;
        bool complemento;
        int altura;  // client area, pixels
        int topoBotoes;
    } casos[] = {
        {"BENEFICIO MAIS asks for the prescription", kBeneficioMais, true, (4215 - 405) / 15, 208},
        {"QUILLANE SAUDE asks for nothing more", kQuillaneSaude, false, (3510 - 405) / 15, 168},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        grade.limpa();
        elegibilidade("6062820000000001", c.operadora, "PREVENDA");
        produtoDaConsulta(QStringLiteral("7891000424452"));
        auto d = abre();
        EXPECT_EQ(d->windowTitle(), "Seleção do Produto");
        EXPECT_EQ(d->objectName(), "FormSelecaoProduto");
        EXPECT_EQ(caixa(d.get(), "txtComplemento1")->isVisible(), c.complemento);
        EXPECT_EQ(d->findChild<QLabel*>("lblCompl1")->isVisible(), c.complemento);
        if (c.complemento) {
            EXPECT_EQ(d->findChild<QLabel*>("lblCompl1")->text(), "Nr Receita");
        }
        EXPECT_EQ(d->height(), c.altura);
        EXPECT_EQ(d->findChild<QPushButton*>("cmdOk")->y(), c.topoBotoes);
        EXPECT_EQ(d->findChild<QPushButton*>("cmdOk")->text(), "F3 - &OK");
        EXPECT_TRUE(caixa(d.get(), "txtProduto")->text().startsWith("7891000424452 - DIPIRONA"));
        EXPECT_EQ(caixa(d.get(), "txtFabricante")->text(), ctx.itensVenda.item(1).fabricante);
        EXPECT_TRUE(caixa(d.get(), "txtFabricante")->isVisible());
        EXPECT_EQ(caixa(d.get(), "txtQuantidade")->text(), "1");
        EXPECT_EQ(caixa(d.get(), "txtQuantidade")->maxLength(), 3);
        EXPECT_EQ(caixa(d.get(), "txtPrc_Bruto_Prd")->text(), "8,90");
        EXPECT_EQ(caixa(d.get(), "txtPrc_Liq_Prd")->text(), "7,12");
        EXPECT_EQ(caixa(d.get(), "txValor_Cred_Prd")->text(), "3,56");  // the card's 50 %
        d->cmdCancel_Click();
        EXPECT_FALSE(d->gravou());
        EXPECT_EQ(grade.linhas(), 0);
    }
}

TEST_F(SelecaoNaLoja, EstablishmentTypingWritesTheGridRow) {
    elegibilidade("6062820000000001", kBeneficioMais, "PREVENDA");
    produtoDaConsulta(QStringLiteral("7891000424452"));
    const QString fabricante = ctx.itensVenda.item(1).fabricante;
    auto d = abre();
    QLineEdit* quantidade = caixa(d.get(), "txtQuantidade");
    QLineEdit* bruto = caixa(d.get(), "txtPrc_Bruto_Prd");
    QLineEdit* complemento = caixa(d.get(), "txtComplemento1");

    // The establishment may change neither price.
    EXPECT_TRUE(bruto->isReadOnly());
    EXPECT_TRUE(caixa(d.get(), "txtValDescPrd")->isReadOnly());
    QTest::keyClicks(bruto, "5");
    EXPECT_EQ(bruto->text(), "8,90");

    // Quantity: only digits get in.
    quantidade->selectAll();
    digita("a2x.");
    EXPECT_EQ(quantidade->text(), "2");

    // F3 checks the prescription number, then its digits.
    tecla(Qt::Key_F3);
    ASSERT_EQ(loja.caixas().shown().size(), 1u);
    EXPECT_EQ(loja.caixas().last().text, "O campo Nr Receita deve conter pelo menos 1 dígito(s).");
    EXPECT_EQ(loja.caixas().last().title, "Atenção");
    EXPECT_EQ(loja.caixas().last().icon, Icon::Critical);
    EXPECT_EQ(QApplication::focusWidget(), complemento);
    digita("12a");
    tecla(Qt::Key_F3);
    EXPECT_EQ(loja.caixas().last().text, "O campo Nr Receita só aceita números.");
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
    EXPECT_EQ(grade.texto(1, G::Codigo), "7891000424452");
    EXPECT_EQ(grade.texto(1, G::Fabricante), fabricante);
    EXPECT_EQ(grade.texto(1, G::Quantidade), "2");
    EXPECT_EQ(grade.texto(1, G::PMC), "8,90");
    EXPECT_EQ(grade.texto(1, G::Desconto), "20,00");
    EXPECT_EQ(grade.texto(1, G::PrecoVenda), "7,12");
    EXPECT_EQ(grade.texto(1, G::PagtoCliente), "3,56");
    EXPECT_EQ(grade.texto(1, G::ValorOperadora), "123");
    EXPECT_EQ(ctx.itensVenda.item(1).valorOperadora, "123");
    EXPECT_EQ(loja.caixas().shown().size(), 2u);
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
    ASSERT_FALSE(bruto->isReadOnly());
    ASSERT_FALSE(desconto->isReadOnly());

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
    EXPECT_EQ(liquido->text(), "10,00");
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
    EXPECT_EQ(grade.texto(1, G::PMC), "12,50");
    EXPECT_EQ(grade.texto(1, G::Desconto), "25,00");
    EXPECT_EQ(grade.texto(1, G::PrecoVenda), "9,38");
    EXPECT_EQ(grade.texto(1, G::PagtoCliente), "4,69");
    EXPECT_EQ(loja.caixas().shown().size(), 1u);
}

TEST_F(SelecaoNaLoja, RetrievedPreAuthorisationIsLockedAndBounded) {
    elegibilidade("6062820000000004", kBeneficioMais, "VENDA");
    ASSERT_TRUE(Recupera_Pre(ctx, grade, 0));
    ASSERT_TRUE(ctx.PreAutorizacaoRecuperada);
    ASSERT_EQ(grade.linhas(), 3);
    const QString quantidade = grade.texto(1, G::Quantidade);
    const QString maisUm = QString::number(quantidade.toInt() + 1);
    produtoDaGrade(1);

    // Through the screen function, modal over the main window, driven by keys.
    bool verificado = false;
    test::VigiaModal vigia;
    QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->objectName(), "FormSelecaoProduto");
        EXPECT_FALSE(caixa(d, "txtComplemento1")->isVisible());
        EXPECT_EQ(d->height(), (3510 - 405) / 15);
        for (const char* nome : {"txtPrc_Bruto_Prd", "txtValDescPrd"}) {
            EXPECT_TRUE(caixa(d, nome)->isReadOnly()) << nome;
            EXPECT_EQ(caixa(d, nome)->focusPolicy(), Qt::NoFocus) << nome;
        }
        QLineEdit* q = caixa(d, "txtQuantidade");
        q->setFocus();
        q->selectAll();
        QTest::keyClicks(q, maisUm);
        QTest::keyClick(q, Qt::Key_F3);
        verificado = true;
    });
    EXPECT_FALSE(ExecutaFormSelecaoProduto(ctx, grade, loja.janela.get()));
    EXPECT_TRUE(verificado);
    EXPECT_EQ(loja.caixas().texts(),
              QStringList{"A quantidade digitada não pode ser maior que a quantidade da "
                          "pré-autorização!"});
    EXPECT_EQ(grade.texto(1, G::Quantidade), quantidade);

    // Fewer units than pre-authorised are taken.
    loja.caixas().clear();
    QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        QLineEdit* q = caixa(d, "txtQuantidade");
        q->setFocus();
        q->selectAll();
        QTest::keyClicks(q, "1");
        QTest::keyClick(q, Qt::Key_Return);
    });
    EXPECT_TRUE(ExecutaFormSelecaoProduto(ctx, grade, loja.janela.get()));
    EXPECT_TRUE(loja.caixas().empty()) << loja.caixas().texts().join('|').toStdString();
    EXPECT_EQ(grade.texto(1, G::Quantidade), "1");
    EXPECT_EQ(grade.linhas(), 3);
}

TEST_F(SelecaoNaLoja, FunctionKeysActOnlyWhileTheirButtonIsEnabled) {
    auto& layout = ctx.telas.FormSelecaoProduto[1];
    layout.cmdOk_Caption.enabled = false;
    layout.cmdCancel_Caption.enabled = false;
    elegibilidade("6062820000000001", kQuillaneSaude, "PREVENDA");
    produtoDaConsulta(QStringLiteral("7891000424452"));
    auto d = abre();
    EXPECT_FALSE(d->findChild<QPushButton*>("cmdOk")->isEnabled());
    tecla(Qt::Key_F3);
    tecla(Qt::Key_Return);
    tecla(Qt::Key_F12);
    tecla(Qt::Key_Escape);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(grade.linhas(), 0);
    EXPECT_TRUE(loja.caixas().empty());

    layout.cmdCancel_Caption.enabled = true;
    d = abre();
    tecla(Qt::Key_F12);
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(d->gravou());
    EXPECT_EQ(grade.linhas(), 0);
}

}  // namespace
}  // namespace ql
