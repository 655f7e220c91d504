#include <QApplication>
#include <QLineEdit>
#include <QTest>

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
using test::Passo;

constexpr int kBeneficioMais = 3;  // the demo operadora that asks for a prescription number
constexpr int kQuillaneSaude = 1;

// Keys as the cashier types them: to whichever control has the focus.
Passo noFoco(const QString& texto, Qt::Key k = Qt::Key_unknown) {
    return {[=](QWidget*) {
        test::digitaEm(QApplication::focusWidget(), texto, k);
        QCoreApplication::processEvents();
    }};
}
Passo noFoco(Qt::Key k) {
    return noFoco(QString(), k);
}
// Focuses the box and presses Backspace; a money box then reads zero.
Passo apaga(const char* nome) {
    return {[=](QWidget* d) { test::digitaEm(test::controle(d, nome), {}, Qt::Key_Backspace); }};
}
// Focuses the box with its whole text selected.
Passo seleciona(const char* nome) {
    return {[=](QWidget* d) {
        auto* c = d->findChild<QLineEdit*>(nome);
        c->setFocus();
        c->selectAll();
    }};
}
Passo focoEm(const char* nome) {
    return {[=](QWidget*) { EXPECT_EQ(QApplication::focusWidget()->objectName(), nome); }};
}

// The product dialog over a demo store, on a product of the host's query for card 0001.
struct Selecao {
    test::LojaDemo loja;
    Context& ctx = loja.ctx();
    GradeAutorizacao grade;
    std::unique_ptr<FormSelecaoProduto> d;

    test::Palco palco() { return {d.get(), loja.caixas(), loja.pedidos}; }
    void abre(int operadora) {
        ctx.ident.NumeroCartao = QStringLiteral("6062820000000001");
        ctx.ident.OperadoraSelecionada = operadora;
        ctx.ident.NomeOperadora = ctx.operadoras.at(operadora).nome.trimmed();
        ctx.ident.CodigoOperadora = ctx.operadoras.at(operadora).codigo;
        ctx.TelaAtual = QStringLiteral("PREVENDA");
        const auto& complemento = ctx.operadoras.at(operadora).complemento;
        grade.configura(complemento.tipo, complemento.rotulo, false);
        ResultadoConsulta consulta;
        ASSERT_TRUE(Mensagem_ElegPortador(ctx, 0) &&
                    Mensagem_Consulta_Produtos(ctx, "7891000424452", 0, consulta, &grade) &&
                    ObtemProduto(ctx, consulta, 1, OrigemProduto::Consulta));
        ctx.SelecaoViaConsulta = true;
        // Shown and active, as exec() would have it, but driven from the test.
        d = std::make_unique<FormSelecaoProduto>(ctx, grade, loja.janela.get());
        d->show();
        d->activateWindow();
        EXPECT_TRUE(test::esperaAte([&] { return d->isActiveWindow(); }));
        d->findChild<QLineEdit*>("txtQuantidade")->setFocus();
        QCoreApplication::processEvents();
    }
};
using P = Selecao;

TEST(SelecaoProdutoCenas, Tabela) {
    const QString receita = QStringLiteral("O campo Nr Receita só aceita números.");
    test::encena<P>({
        {.nome = "establishment: digits in the quantity, F3 checks the prescription number, "
                 "Enter moves on to OK and confirms",
         .prepara = [](P& p) { p.abre(kBeneficioMais); },
         .passos = {test::digita("txtPrc_Bruto_Prd", "5", Qt::Key_unknown),
                    seleciona("txtQuantidade"), noFoco("a2x."), noFoco(Qt::Key_F3),
                    focoEm("txtComplemento1"), noFoco("12a"), noFoco(Qt::Key_F3), noFoco("123"),
                    noFoco(Qt::Key_Return), focoEm("cmdOk"), noFoco(Qt::Key_Return)},
         .caixas = {receita, receita},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(p.d->gravou());
                 EXPECT_FALSE(p.d->isVisible());
                 ASSERT_EQ(p.grade.linhas(), 1);
                 EXPECT_EQ(p.grade.texto(1, G::Quantidade), "2");
                 EXPECT_EQ(p.grade.texto(1, G::ValorOperadora), "123");
                 EXPECT_EQ(p.grade.texto(1, G::PMC), "8,90");  // the price stays as loaded
             }},
        {.nome = "distributor: the money keys edit the prices; a smaller discount is put back",
         .prepara =
             [](P& p) {
                 p.ctx.TipoEstab = 3;
                 p.abre(kQuillaneSaude);
             },
         .passos = {apaga("txtPrc_Bruto_Prd"), noFoco("1250", Qt::Key_Return),
                    focoEm("txtPrc_Liq_Prd"), apaga("txtValDescPrd"), noFoco(Qt::Key_Tab),
                    focoEm("txtValDescPrd"), seleciona("txtValDescPrd"), noFoco("25001"),
                    noFoco(Qt::Key_F3)},
         .caixas = {"Não é permitido desconto menor que o desconto original!"},
         .comandos = {"!txtComplemento1"},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(p.d->gravou());
                 ASSERT_EQ(p.grade.linhas(), 1);
                 // F3 counts the discount box as left: the net price follows it.
                 EXPECT_EQ(p.grade.texto(1, G::PMC) + '|' + p.grade.texto(1, G::Desconto) + '|' +
                               p.grade.texto(1, G::PrecoVenda),
                           "12,50|25,00|9,38");
             }},
        {.nome = "F3, F12 and Escape do nothing while their buttons are disabled; Enter in "
                 "the quantity runs OK all the same",
         .prepara =
             [](P& p) {
                 p.ctx.telas.FormSelecaoProduto[1].cmdOk_Caption.enabled = false;
                 p.ctx.telas.FormSelecaoProduto[1].cmdCancel_Caption.enabled = false;
                 p.abre(kQuillaneSaude);
             },
         .passos = {noFoco(Qt::Key_F3),
                    noFoco(Qt::Key_F12),
                    noFoco(Qt::Key_Escape),
                    {[](QWidget* d) { EXPECT_TRUE(d->isVisible()); }},
                    noFoco(Qt::Key_Return)},
         .comandos = {"!cmdOk", "!cmdCancel"},
         .confere = [](P& p) { EXPECT_TRUE(p.d->gravou() && p.grade.linhas() == 1); }},
        {.nome = "F12 cancels: nothing written",
         .prepara = [](P& p) { p.abre(kQuillaneSaude); },
         .passos = {noFoco(Qt::Key_F12)},
         .confere = [](P& p) { EXPECT_TRUE(!p.d->isVisible() && !p.d->gravou()); }},
    });
}

}  // namespace
}  // namespace ql
