#include <QColor>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

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
using Icon = MessageBoxes::Icon;
using Answer = MessageBoxes::Answer;

const QString kDipirona = QStringLiteral("7891000424452");
const QString kClonazepam = QStringLiteral("7892036764147");  // refused with status 45
const QString kParacetamol = QStringLiteral("7891037197725");

// The title of the card identification screen, which returns when this screen closes.
const QString kTituloInicial =
    QStringLiteral("Quillane Client      Tela 0001 - Inicial e abertura    05/12/2026");

// The product entry dialog the grid's Enter opens modal is cancelled as soon as it shows.
struct CancelaDialogo {
    QTimer timer;
    CancelaDialogo() {
        QObject::connect(&timer, &QTimer::timeout, [] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (d && d->objectName() == QLatin1String("FormSelecaoProduto")) d->reject();
        });
        timer.start(5);
    }
};

// A running demo store with the authorisation screen opened on it.
struct Cenario {
    test::LojaDemo loja;
    CancelaDialogo cancelaDialogo;
    Context& ctx = loja.ctx();
    test::RecordingMessageBoxes& caixas = loja.caixas();
    QPointer<FormPreVenda> tela;

    // A screen still open goes before the main window does.
    ~Cenario() {
        for (auto* c : QApplication::topLevelWidgets()) {
            if (qobject_cast<FormConsultaProdutos*>(c)) c->hide();
        }
        if (!tela) return;
        QWidget* moldura = tela->parentWidget();
        delete (moldura ? moldura : static_cast<QWidget*>(tela.data()));
    }

    // The screen after an approved eligibility of the card, in the given mode.
    void abre(const QString& cartao, const QString& modo, int operadora = 1) {
        ctx.ident.NumeroCartao = cartao;
        ctx.ident.OperadoraSelecionada = operadora;
        ctx.ident.NomeOperadora = ctx.operadoras.at(operadora).nome.trimmed();
        ctx.ident.CodigoOperadora = ctx.operadoras.at(operadora).codigo;
        ctx.TelaAtual = modo;
        ASSERT_TRUE(Mensagem_ElegPortador(ctx, 0)) << caixas.texts().join('|').toStdString();
        AbreFormPreVenda(*loja.janela);
        tela = test::achaTela<FormPreVenda>(QStringLiteral("FormPreVenda"));
        ASSERT_TRUE(tela);
        test::esperaAte([&] { return tela->isVisible(); });
    }
    template <class T = QWidget>
    T* controle(const char* nome) {
        return tela->findChild<T*>(QLatin1String(nome));
    }
    QLineEdit* txt(const char* nome) { return controle<QLineEdit>(nome); }
    void pesquisa(const QString& texto) {
        QLineEdit* campo = txt("txtPesquisa");
        campo->clear();
        QTest::keyClicks(campo, texto);
        QTest::keyClick(campo, Qt::Key_Return);
    }
    bool fechada(int ms = 2000) {
        return test::esperaAte([&] { return tela.isNull(); }, ms);
    }
};

struct PreVendaTela : ::testing::Test, Cenario {};

TEST_F(PreVendaTela, PreAutorizacaoBuscaPorCodigoExcluiEValida) {
    abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA"));
    EXPECT_EQ(loja.janela->windowTitle(),
              QStringLiteral("Quillane Client      Tela 0011 - Pre-Autorização    05/12/2026"));
    EXPECT_FALSE(txt("txtNrDocFiscal")->isVisibleTo(tela));
    EXPECT_EQ(controle<QPushButton>("cmdConfirma")->text(), "F5 - &Finaliza Autorização");
    EXPECT_FALSE(txt("txtNSU")->text().isEmpty());

    // A code found goes into the grid (again: one more unit); the totals follow.
    pesquisa(kDipirona);
    pesquisa(kDipirona);
    G& grade = tela->grade();
    ASSERT_EQ(grade.linhas(), 1) << caixas.texts().join('|').toStdString();
    EXPECT_EQ(txt("txtTotVend")->text(), "14,24");
    EXPECT_EQ(txt("txtTotBen")->text(), "3,56");
    EXPECT_TRUE(txt("txtPesquisa")->text().isEmpty());
    // A refused search keeps its text for correction.
    pesquisa(QStringLiteral("NADAASSIM"));
    EXPECT_EQ(caixas.last().text, "Produto não encontrado!");
    EXPECT_EQ(txt("txtPesquisa")->text(), "NADAASSIM");
    EXPECT_EQ(grade.linhas(), 1);

    // F8 deletes the active row; with none left F8, F10 and F5 say so.
    caixas.clear();
    QTest::keyClick(tela, Qt::Key_F8);
    EXPECT_EQ(grade.linhas(), 0);
    EXPECT_EQ(txt("txtTotVend")->text(), "0,00");
    QTest::keyClick(tela, Qt::Key_F8);
    QTest::keyClick(tela, Qt::Key_F10);
    QTest::keyClick(tela, Qt::Key_F5);
    EXPECT_EQ(caixas.texts(),
              QStringList({"Não existe produto a ser cancelado.",
                           "Não existe produto para ser editado", "Não existem produtos."}));
    // Every command is available again after the refusals.
    for (const char* nome : {"cmdConfirma", "cmdExcluir", "cmdEditar", "cmdAdicionaProduto"})
        EXPECT_TRUE(controle<QPushButton>(nome)->isEnabled()) << nome;
}

TEST_F(PreVendaTela, ConsultaModalPelaBuscaELivrePeloBotao) {
    abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA"));
    QString titulo;
    bool alerta = false;
    QTimer::singleShot(0, [&] {
        auto* c = qobject_cast<FormConsultaProdutos*>(QApplication::activeModalWidget());
        if (!c) return;
        titulo = loja.janela->windowTitle();
        alerta = c->lblalerta()->isVisibleTo(c);  // more pages announced
        QTest::keyClick(c, Qt::Key_F9);
    });
    pesquisa(QStringLiteral("MG"));
    EXPECT_EQ(titulo, QStringLiteral("Quillane Client      Tela 0010 - Consulta Produtos    "
                                     "05/12/2026 10:00:00"));
    EXPECT_TRUE(alerta);
    ASSERT_TRUE(tela->consulta());
    EXPECT_FALSE(tela->consulta()->isVisible());
    EXPECT_TRUE(txt("txtPesquisa")->text().isEmpty());

    // Opened from cmdAdicionaProduto it is not modal; F12 there asks before ending the run.
    bool encerrou = false;
    tela->setEncerraPrograma([&] { encerrou = true; });
    QTest::mouseClick(controle<QPushButton>("cmdAdicionaProduto"), Qt::LeftButton);
    FormConsultaProdutos* c = tela->consulta();
    ASSERT_TRUE(c->isVisible());
    EXPECT_EQ(c->windowTitle(), QStringLiteral("Tela 0010 - Consulta Produtos"));
    EXPECT_FALSE(c->isModal());
    EXPECT_TRUE(test::esperaAte([&] { return c->isActiveWindow(); }));
    caixas.clear();
    caixas.answerNext(Answer::No);
    QTest::keyClick(c, Qt::Key_F12);
    EXPECT_FALSE(encerrou);
    caixas.answerNext(Answer::Yes);
    QTest::keyClick(c, Qt::Key_F12);
    EXPECT_EQ(caixas.texts(), QStringList(2, "Confirma a Saída do Sistema"));
    EXPECT_TRUE(encerrou);
    QTest::keyClick(c, Qt::Key_F9);
    EXPECT_FALSE(c->isVisible());
}

TEST_F(PreVendaTela, RecusadoFicaVermelhoEAprovacaoFechaATela) {
    abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA"));
    pesquisa(kDipirona);
    pesquisa(kClonazepam);
    G& grade = tela->grade();
    ASSERT_EQ(grade.linhas(), 2) << caixas.texts().join('|').toStdString();
    caixas.clear();
    QTest::keyClick(tela, Qt::Key_F5);
    EXPECT_EQ(grade.data(grade.index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(grade.data(grade.index(0, 0), Qt::ForegroundRole).isValid());
    // The list was approved with the refusal in it.
    EXPECT_EQ(caixas.texts(),
              QStringList{ctx.config.Msg_Approval + " " + ctx.transacao.NsuTransacao});
    EXPECT_EQ(caixas.last().icon, Icon::Exclamation);
    // The card identification screen is back for the next sale.
    EXPECT_TRUE(fechada());
    EXPECT_EQ(loja.janela->windowTitle(), kTituloInicial);
    EXPECT_EQ(ctx.TelaAtual, "INCIAL");
}

TEST_F(PreVendaTela, VendaDaPreAutorizacaoGuardada) {
    abre(QStringLiteral("6062820000000004"), QStringLiteral("VENDA"));
    EXPECT_EQ(loja.janela->windowTitle(),
              QStringLiteral("Quillane Client      Tela 0011 - Autorização    05/12/2026"));
    ASSERT_EQ(tela->grade().linhas(), 3);
    EXPECT_TRUE(controle<QTableView>("spdProduto")->isColumnHidden(G::Descricao - 1));
    EXPECT_FALSE(controle<QPushButton>("cmdAdicionaProduto")->isEnabled());
    EXPECT_FALSE(controle("fraProduto")->isVisibleTo(tela));

    // The fiscal document is required (F5; Enter in its box, whatever the button's state) and
    // takes digits only.
    caixas.clear();
    QTest::keyClick(tela, Qt::Key_F5);
    controle<QPushButton>("cmdConfirma")->setEnabled(false);
    QTest::keyClick(txt("txtNrDocFiscal"), Qt::Key_Return);
    EXPECT_EQ(caixas.texts(), QStringList(2, "Digite o Número do Documento Fiscal Vinculado."));
    QTest::keyClicks(txt("txtNrDocFiscal"), QStringLiteral("12A34'5"));
    EXPECT_EQ(txt("txtNrDocFiscal")->text(), "12345");
}

TEST_F(PreVendaTela, DigitarNaGradeComecaNovaBuscaEF3Pesquisa) {
    // The operadora's extra column shows with its header; the lookup's net value never.
    abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA"), 3);
    auto* view = controle<QTableView>("spdProduto");
    EXPECT_FALSE(view->isColumnHidden(G::ValorOperadora - 1));
    EXPECT_EQ(view->model()->headerData(G::ValorOperadora - 1, Qt::Horizontal).toString(),
              "Nr Receita");
    EXPECT_TRUE(view->isColumnHidden(G::ValorLiquidoDll - 1));
    pesquisa(kDipirona);
    QTest::keyClicks(view, QStringLiteral("para"));
    EXPECT_EQ(txt("txtPesquisa")->text(), "PARA");
    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_EQ(txt("txtPesquisa")->text(), "");
    txt("txtPesquisa")->setText(kParacetamol);
    QTest::keyClick(tela, Qt::Key_F3);
    ASSERT_EQ(tela->grade().linhas(), 2);
    EXPECT_EQ(tela->grade().texto(2, G::Codigo), kParacetamol);
    // Enter on the grid edits the active row, whatever the button's state: the entry dialog
    // gets it as entry 1.
    view->setCurrentIndex(view->model()->index(0, 0));
    controle<QPushButton>("cmdEditar")->setEnabled(false);
    ctx.SelecaoViaConsulta = true;
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_FALSE(ctx.SelecaoViaConsulta);
    EXPECT_EQ(ctx.itensVenda.item(1).codigo, kDipirona);
}

TEST_F(PreVendaTela, VendaBuscaOsBlocosAnunciados) {
    // 15 products: the eligibility brings 12 and announces the other 3.
    abre(QStringLiteral("6062820000000005"), QStringLiteral("VENDA"));
    EXPECT_EQ(tela->grade().linhas(), 15) << caixas.texts().join('|').toStdString();
}

// The screen opened on card 0001 for a pre-authorisation, as the scenes start it.
struct PreVendaAberta : Cenario {
    PreVendaAberta() { abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA")); }
    test::Palco palco() { return {tela, caixas, loja.pedidos}; }
};

TEST(PreVendaCenas, Abandono) {
    using P = PreVendaAberta;
    using test::clica;
    const QString pergunta = QStringLiteral("Deseja abandonar operação?");
    test::encena<P>({
        {"Cancelar, No: the screen stays",
         {},
         {clica("btnCancel")},
         {pergunta},
         {Answer::No},
         "",
         {"cmdConfirma"},
         QStringList{},
         [](P& p) { EXPECT_FALSE(p.fechada(50)); }},
        {"F12 of the main window, Yes: back to the first screen",
         {},
         {{[](QWidget* t) { qobject_cast<FormPrincipal*>(t->window())->mnuEncerrar_Click(); }}},
         {pergunta},
         {Answer::Yes},
         "",
         {},
         QStringList{},
         [](P& p) {
             EXPECT_TRUE(p.fechada());
             EXPECT_EQ(p.loja.janela->windowTitle(), kTituloInicial);
         }},
    });
}

}  // namespace
}  // namespace ql
