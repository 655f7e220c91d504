#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>

#include <gtest/gtest.h>

#include "host/transacoes.h"
#include "sale/grade_autorizacao.h"
#include "sale/screens/form_consulta_produtos.h"
#include "sale/screens/form_pre_venda.h"
#include "support/ui/loja_demo.h"
#include "ui/telas.h"

namespace ql {
namespace {

using G = GradeAutorizacao;
using Answer = MessageBoxes::Answer;
using test::clica;
using test::digita;
using test::tecla;

const QString kDipirona = QStringLiteral("7891000424452");
const QString kParacetamol = QStringLiteral("7891037197725");

// The main window's title for this screen (%1 the mode) and for the card identification
// screen, which returns when this screen closes.
const QString kTitulo = QStringLiteral("Quillane Client      Tela 0011 - %1    05/12/2026");
const QString kTituloInicial =
    QStringLiteral("Quillane Client      Tela 0001 - Inicial e abertura    05/12/2026");

QString texto(QWidget* tela, const char* nome) {
    return tela->findChild<QLineEdit*>(QLatin1String(nome))->text();
}

// Checks the search box's text.
test::Passo pesquisa(const QString& esperado) {
    return {[=](QWidget* t) { EXPECT_EQ(texto(t, "txtPesquisa"), esperado); }};
}

test::Passo desabilita(const char* nome) {
    return {[=](QWidget* t) { t->findChild<QWidget*>(nome)->setEnabled(false); }};
}
// The grid's first row active, as a product chosen in the query leaves it.
test::Passo primeiraLinhaViaConsulta() {
    return {[](QWidget* t) {
        auto* view = t->findChild<QTableView*>("spdProduto");
        view->setCurrentIndex(view->model()->index(0, 0));
        qobject_cast<FormPrincipal*>(t->window())->contexto().SelecaoViaConsulta = true;
    }};
}

// A running demo store; each scene opens the authorisation screen on a card of its own.
struct PreVenda {
    test::LojaDemo loja;
    test::SempreQueModal cancelaProduto{"FormSelecaoProduto", test::recusa};
    Context& ctx = loja.ctx();
    QPointer<FormPreVenda> tela;
    int encerrou = 0;

    // A screen still open goes before the main window does.
    ~PreVenda() {
        for (auto* c : QApplication::topLevelWidgets())
            if (qobject_cast<FormConsultaProdutos*>(c)) c->hide();
        if (tela) delete (tela->parentWidget() ? tela->parentWidget() : tela.data());
    }
    test::Palco palco() { return {tela, loja.caixas(), loja.pedidos}; }

    // The screen after an approved eligibility of the card, in the given mode.
    void abre(const QString& cartao, const QString& modo, int operadora = 1) {
        ctx.ident.NumeroCartao = cartao;
        ctx.ident.OperadoraSelecionada = operadora;
        ctx.ident.NomeOperadora = ctx.operadoras.at(operadora).nome.trimmed();
        ctx.ident.CodigoOperadora = ctx.operadoras.at(operadora).codigo;
        ctx.TelaAtual = modo;
        ASSERT_TRUE(Mensagem_ElegPortador(ctx, 0)) << loja.caixas().texts().join('|').toStdString();
        AbreFormPreVenda(*loja.janela);
        tela = test::achaTela<FormPreVenda>(QStringLiteral("FormPreVenda"));
        ASSERT_TRUE(tela);
        test::esperaAte([&] { return tela->isVisible(); });
    }
    bool fechada(int ms = 2000) {
        return test::esperaAte([&] { return tela.isNull(); }, ms);
    }
};
using P = PreVenda;

void preVenda(P& p) {
    p.abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA"));
}

TEST(PreVendaCenas, Tabela) {
    const QString pergunta = QStringLiteral("Deseja abandonar operação?");
    test::encena<P>({
        {.nome = "pre-authorisation: a code found twice is one row; a refused search stays",
         .prepara = preVenda,
         .passos = {digita("txtPesquisa", kDipirona), digita("txtPesquisa", kDipirona),
                    digita("txtPesquisa", "NADAASSIM")},
         .caixas = {"PRODUTO NAO ENCONTRADO", "Não foram encontrados produtos",
                    "Produto não encontrado!"},
         .foco = "txtPesquisa",
         .comandos = {"!txtNrDocFiscal"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.loja.janela->windowTitle(), kTitulo.arg("Pre-Autorização"));
                 EXPECT_EQ(p.tela->grade().linhas(), 1);
                 EXPECT_EQ(texto(p.tela, "txtTotVend"), "14,24");
                 EXPECT_EQ(texto(p.tela, "txtPesquisa"), "NADAASSIM");
             }},
        {.nome = "F8 deletes the row; with none F8, F10 and F5 say so",
         .prepara = preVenda,
         .passos = {digita("txtPesquisa", kDipirona), tecla(Qt::Key_F8), tecla(Qt::Key_F8),
                    tecla(Qt::Key_F10), tecla(Qt::Key_F5)},
         .caixas = {"Não existe produto a ser cancelado.", "Não existe produto para ser editado",
                    "Não existem produtos."},
         .comandos = {"cmdConfirma", "cmdExcluir", "cmdEditar", "cmdAdicionaProduto"},
         .confere = [](P& p) { EXPECT_EQ(texto(p.tela, "txtTotVend"), "0,00"); }},
        {.nome = "the query from its button is not modal; its F12 asks before ending the run",
         .prepara =
             [](P& p) {
                 preVenda(p);
                 p.tela->setEncerraPrograma([&p] { ++p.encerrou; });
             },
         .passos = {clica("cmdAdicionaProduto"),
                    {[](QWidget* t) {
                        FormConsultaProdutos* c = qobject_cast<FormPreVenda*>(t)->consulta();
                        EXPECT_EQ(t->window()->windowTitle(),
                                  "Quillane Client      Tela 0010 - "
                                  "Consulta Produtos    05/12/2026 10:00:00");
                        EXPECT_FALSE(c->isModal());
                        EXPECT_FALSE(c->lblalerta()->isVisibleTo(c));  // no search, no more pages
                        EXPECT_TRUE(test::esperaAte([&] { return c->isActiveWindow(); }));
                    }},
                    tecla(Qt::Key_F12, "FormConsultaProdutos"),
                    tecla(Qt::Key_F12, "FormConsultaProdutos"),
                    tecla(Qt::Key_F9, "FormConsultaProdutos")},
         .caixas = {"Confirma a Saída do Sistema", "Confirma a Saída do Sistema"},
         .respostas = {Answer::No, Answer::Yes},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.encerrou, 1);
                 EXPECT_FALSE(p.tela->consulta()->isVisible());
             }},
        {.nome = "sale of the stored pre-authorisation: the fiscal document is required",
         .prepara = [](P& p) { p.abre(QStringLiteral("6062820000000004"), "VENDA"); },
         .passos = {tecla(Qt::Key_F5), desabilita("cmdConfirma"),
                    tecla(Qt::Key_Return, "txtNrDocFiscal"),
                    digita("txtNrDocFiscal", "12A34'5", Qt::Key_unknown)},
         .caixas = QStringList(2, "Digite o Número do Documento Fiscal Vinculado."),
         .comandos = {"!cmdAdicionaProduto", "!fraProduto", "txtNrDocFiscal"},
         .pedidos = QStringList{},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.loja.janela->windowTitle(), kTitulo.arg("Autorização"));
                 EXPECT_EQ(texto(p.tela, "txtNrDocFiscal"), "12345");
             }},
        {.nome = "typing on the grid starts a search, F3 searches, Enter edits the active row",
         .prepara = [](P& p) { p.abre(QStringLiteral("6062820000000001"), "PREVENDA", 3); },
         .passos = {digita("txtPesquisa", kDipirona), digita("spdProduto", "para", Qt::Key_unknown),
                    pesquisa("PARA"), tecla(Qt::Key_Backspace, "spdProduto"), pesquisa(""),
                    digita("txtPesquisa", kParacetamol, Qt::Key_F3), primeiraLinhaViaConsulta(),
                    desabilita("cmdEditar"), tecla(Qt::Key_Return, "spdProduto")},
         .confere =
             [](P& p) {
                 ASSERT_EQ(p.tela->grade().linhas(), 2);
                 EXPECT_EQ(p.tela->grade().texto(2, G::Codigo), kParacetamol);
                 // The entry dialog got the active row as its entry 1.
                 EXPECT_FALSE(p.ctx.SelecaoViaConsulta);
                 EXPECT_EQ(p.ctx.itensVenda.item(1).codigo, kDipirona);
             }},
        {.nome = "sale of 15 products: the eligibility's 12 and the 3 announced",
         .prepara = [](P& p) { p.abre(QStringLiteral("6062820000000005"), "VENDA"); },
         .confere = [](P& p) { EXPECT_EQ(p.tela->grade().linhas(), 15); }},
        {.nome = "Cancelar, No: the screen stays",
         .prepara = preVenda,
         .passos = {clica("btnCancel")},
         .caixas = {pergunta},
         .respostas = {Answer::No},
         .comandos = {"cmdConfirma"},
         .pedidos = QStringList{},
         .confere = [](P& p) { EXPECT_FALSE(p.fechada(50)); }},
        {.nome = "F12 of the main window, Yes: back to the first screen",
         .prepara = preVenda,
         .passos = {test::f12DaJanela()},
         .caixas = {pergunta},
         .respostas = {Answer::Yes},
         .pedidos = QStringList{},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(p.fechada());
                 EXPECT_EQ(p.loja.janela->windowTitle(), kTituloInicial);
             }},
    });
}

}  // namespace
}  // namespace ql
