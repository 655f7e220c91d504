#include <QColor>
#include <QDialog>
#include <QDir>
#include <QFile>
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
// Products of the demo store the benefit covers.
const QStringList kCobertos = {QStringLiteral("7891000424452"), QStringLiteral("7891037197725"),
                               QStringLiteral("7891074517500"), QStringLiteral("7891111853196"),
                               QStringLiteral("7891148063285"), QStringLiteral("7891185094945"),
                               QStringLiteral("7891222702390"), QStringLiteral("7891259123373"),
                               QStringLiteral("7891296479310"), QStringLiteral("7891333763877"),
                               QStringLiteral("7891370076022"), QStringLiteral("7891407665106"),
                               QStringLiteral("7891444281406"), QStringLiteral("7891481049144")};

// The title of the card identification screen, which returns when this screen closes.
const QString kTituloInicial =
    QStringLiteral("Quillane Client      Tela 0001 - Inicial e abertura    05/12/2026");

// Dialogs other screens open modal are answered as soon as they show: the product entry is
// cancelled, the receipt confirmed (F5), which it must be before it may close.
class FechaModais {
  public:
    FechaModais() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            const QString nome = modal->objectName();
            vistos << nome;
            if (nome == QLatin1String("FormImpressao")) {
                QTest::keyClick(modal, Qt::Key_F5);
            } else if (nome == QLatin1String("FormSelecaoProduto")) {
                if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
            }
        });
        timer_.start();
    }

    QStringList vistos;  // the modal dialogs answered, in order

  private:
    QTimer timer_;
};

// A running demo store with the authorisation screen opened on it.
struct Cenario {
    test::LojaDemo loja;
    FechaModais fechaModais;
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
    EXPECT_FALSE(controle<QLabel>("lblNrDocFiscal")->isVisibleTo(tela));
    EXPECT_TRUE(controle<QPushButton>("cmdAdicionaProduto")->isEnabled());
    EXPECT_EQ(controle<QPushButton>("cmdConfirma")->text(), "F5 - &Finaliza Autorização");
    EXPECT_EQ(ctx.TelaAtual, "PREVENDA");
    EXPECT_FALSE(txt("txtNSU")->text().isEmpty());

    // One product found by its code goes straight into the grid; the same code again adds a
    // unit; the totals follow.
    pesquisa(kDipirona);
    pesquisa(kDipirona);
    G& grade = tela->grade();
    ASSERT_EQ(grade.linhas(), 1) << caixas.texts().join('|').toStdString();
    EXPECT_EQ(grade.texto(1, G::Quantidade), "2");
    EXPECT_EQ(grade.texto(1, G::Codigo), kDipirona);
    EXPECT_EQ(txt("txtTotVend")->text(), "14,24");
    EXPECT_EQ(txt("txtTotBen")->text(), "3,56");
    EXPECT_TRUE(txt("txtPesquisa")->text().isEmpty());

    const struct {
        QString texto;
        const char* mensagem;
    } recusas[] = {
        {QStringLiteral(" "), "Por favor digite pelo menos uma letra!"},
        {QStringLiteral("789100042445299"),
         "O Código do produto não pode ser maior que 13 dígitos!"},
        {QStringLiteral("NADAASSIM"), "Produto não encontrado!"},
    };
    for (const auto& r : recusas) {
        caixas.clear();
        pesquisa(r.texto);
        ASSERT_FALSE(caixas.empty()) << r.mensagem;
        EXPECT_EQ(caixas.last().text, QString::fromUtf8(r.mensagem));
        EXPECT_EQ(caixas.last().title, "Atenção");
        EXPECT_EQ(caixas.last().icon, Icon::Critical);
    }
    EXPECT_EQ(grade.linhas(), 1);

    // F8 deletes the active row; with none left the search frame shows and F8 says so; F5 has
    // nothing to send.
    caixas.clear();
    QTest::keyClick(tela, Qt::Key_F8);
    EXPECT_EQ(grade.linhas(), 0);
    EXPECT_TRUE(caixas.empty());
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

TEST_F(PreVendaTela, ConsultaDeVariasPaginasEEscolha) {
    abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA"));
    struct Visto {
        int linhas = 0;
        bool alerta = false;
        QString primeiro, primeiroDepois, titulo;
        int linhasDepois = 0;
        bool abaixoNaoPagina = false;
    } visto;
    QTimer::singleShot(0, [&] {
        auto* c = qobject_cast<FormConsultaProdutos*>(QApplication::activeModalWidget());
        if (!c) return;
        QTableView* g = c->spdProduto();
        visto.titulo = loja.janela->windowTitle();
        visto.linhas = g->model()->rowCount();
        visto.alerta = c->lblalerta()->isVisibleTo(c);
        visto.primeiro = g->model()->index(0, 7).data().toString();
        // Down on a row other than the last moves the cursor only.
        g->setCurrentIndex(g->model()->index(0, 0));
        QTest::keyClick(g, Qt::Key_Down);
        visto.abaixoNaoPagina = g->model()->index(0, 7).data().toString() == visto.primeiro;
        // Page Down on the last row: the next page replaces the rows.
        g->setCurrentIndex(g->model()->index(g->model()->rowCount() - 1, 0));
        QTest::keyClick(g, Qt::Key_PageDown);
        visto.linhasDepois = g->model()->rowCount();
        visto.primeiroDepois = g->model()->index(0, 7).data().toString();
        QTest::keyClick(c, Qt::Key_F9);
    });
    pesquisa(QStringLiteral("MG"));
    EXPECT_EQ(visto.titulo,
              QStringLiteral("Quillane Client      Tela 0010 - Consulta Produtos    05/12/2026 "
                             "10:00:00"));
    EXPECT_EQ(visto.linhas, 12);
    EXPECT_TRUE(visto.alerta);
    EXPECT_TRUE(visto.abaixoNaoPagina);
    EXPECT_EQ(visto.linhasDepois, 12);
    EXPECT_NE(visto.primeiroDepois, visto.primeiro);
    EXPECT_FALSE(visto.primeiroDepois.isEmpty());
    ASSERT_TRUE(tela->consulta());
    EXPECT_FALSE(tela->consulta()->isVisible());
    EXPECT_EQ(tela->grade().linhas(), 0);
    EXPECT_TRUE(txt("txtPesquisa")->text().isEmpty());

    // Choosing with Enter copies the row into the item entry with quantity 1 and closes the
    // query screen.
    QString escolhido;
    QTimer::singleShot(0, [&] {
        auto* c = qobject_cast<FormConsultaProdutos*>(QApplication::activeModalWidget());
        if (!c) return;
        QTableView* g = c->spdProduto();
        g->setCurrentIndex(g->model()->index(2, 0));
        escolhido = g->model()->index(2, 7).data().toString();
        QTest::keyClick(g, Qt::Key_Return);
    });
    ctx.SelecaoViaConsulta = false;
    pesquisa(QStringLiteral("MG"));
    ASSERT_FALSE(escolhido.isEmpty());
    EXPECT_TRUE(ctx.SelecaoViaConsulta);
    ASSERT_GE(ctx.itensVenda.itens.size(), 1);
    EXPECT_EQ(ctx.itensVenda.itens[0].codigo, escolhido);
    EXPECT_EQ(ctx.itensVenda.itens[0].quantidade, "1");
    EXPECT_FALSE(tela->consulta()->isVisible());

    // Opened from cmdAdicionaProduto it is not modal; F12 there asks before ending the run.
    bool encerrou = false;
    tela->setEncerraPrograma([&] { encerrou = true; });
    QTest::mouseClick(controle<QPushButton>("cmdAdicionaProduto"), Qt::LeftButton);
    FormConsultaProdutos* c = tela->consulta();
    ASSERT_TRUE(c->isVisible());
    EXPECT_FALSE(c->isModal());
    caixas.clear();
    caixas.answerNext(Answer::No);
    QTest::keyClick(c, Qt::Key_F12);
    caixas.answerNext(Answer::Yes);
    QTest::keyClick(c, Qt::Key_F12);
    ASSERT_EQ(caixas.shown().size(), 2u);
    EXPECT_EQ(caixas.last().text, "Confirma a Saída do Sistema");
    EXPECT_EQ(caixas.last().defaultButton, Answer::No);
    EXPECT_TRUE(encerrou);
    QTest::keyClick(c, Qt::Key_F9);
    EXPECT_FALSE(c->isVisible());
}

TEST_F(PreVendaTela, EnviaTrezeProdutosEmDuasPaginas) {
    abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA"));
    QStringList codigos = kCobertos.mid(0, 12);
    codigos.insert(4, kClonazepam);  // refused in the middle of the first page
    for (const QString& codigo : codigos) pesquisa(codigo);
    G& grade = tela->grade();
    ASSERT_EQ(grade.linhas(), 13) << caixas.texts().join('|').toStdString();
    caixas.clear();
    QTest::keyClick(tela, Qt::Key_F5);

    // Whatever the host decided for the list, the refused product is red and the others not.
    EXPECT_EQ(grade.texto(5, G::Status), "45");
    EXPECT_TRUE(grade.recusada(5));
    EXPECT_FALSE(grade.recusada(4));
    EXPECT_EQ(grade.data(grade.index(4, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(grade.data(grade.index(3, 0), Qt::ForegroundRole).isValid());
    EXPECT_EQ(ctx.itensVenda.count, 13);
    // The second page (one product) was answered too.
    EXPECT_EQ(grade.texto(13, G::Status).toInt(), 0) << grade.texto(13, G::Status).toStdString();
    EXPECT_FALSE(grade.texto(13, G::Status).isEmpty());
    // The list was approved with the refusal in it.
    EXPECT_EQ(caixas.texts(),
              QStringList{ctx.config.Msg_Approval + " " + ctx.transacao.NsuTransacao});
    EXPECT_TRUE(fechada());
    EXPECT_EQ(loja.janela->windowTitle(), kTituloInicial);
}

TEST_F(PreVendaTela, PreAutorizacaoAprovadaMostraAviso) {
    abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA"));
    pesquisa(kDipirona);
    pesquisa(kCobertos[1]);
    caixas.clear();
    QTest::keyClick(tela, Qt::Key_F5);
    ASSERT_FALSE(caixas.empty());
    EXPECT_EQ(caixas.last().text, ctx.config.Msg_Approval + " " + ctx.transacao.NsuTransacao);
    EXPECT_EQ(caixas.last().icon, Icon::Exclamation);
    EXPECT_EQ(caixas.last().title, "Atenção");
    EXPECT_TRUE(fechada());
    // The card identification screen is back for the next sale.
    EXPECT_EQ(ctx.TelaAtual, "INCIAL");
}

TEST_F(PreVendaTela, VendaDaPreAutorizacaoGuardada) {
    const QDir exportacao(loja.t.path(QStringLiteral("export")));
    for (const QString& f : exportacao.entryList(QDir::Files))
        QFile::remove(exportacao.filePath(f));
    abre(QStringLiteral("6062820000000004"), QStringLiteral("VENDA"));
    EXPECT_EQ(loja.janela->windowTitle(),
              QStringLiteral("Quillane Client      Tela 0011 - Autorização    05/12/2026"));
    G& grade = tela->grade();
    ASSERT_EQ(grade.linhas(), 3);
    EXPECT_EQ(grade.texto(1, G::Codigo), "7891185094945");
    EXPECT_EQ(grade.texto(3, G::Quantidade), "3");
    EXPECT_TRUE(grade.colunaOculta(G::Descricao));
    EXPECT_FALSE(controle("fraProduto")->isVisibleTo(tela));
    EXPECT_TRUE(txt("txtNrDocFiscal")->isVisibleTo(tela));
    EXPECT_FALSE(controle<QPushButton>("cmdAdicionaProduto")->isEnabled());
    EXPECT_FALSE(txt("txtTotVend")->text().isEmpty());

    // The fiscal document is required and takes digits only.
    caixas.clear();
    QTest::keyClick(tela, Qt::Key_F5);
    ASSERT_FALSE(caixas.empty());
    EXPECT_EQ(caixas.last().text, "Digite o Número do Documento Fiscal Vinculado.");
    QTest::keyClicks(txt("txtNrDocFiscal"), QStringLiteral("12A34'5"));
    EXPECT_EQ(txt("txtNrDocFiscal")->text(), "12345");

    caixas.clear();
    QTest::keyClick(txt("txtNrDocFiscal"), Qt::Key_Return);
    ASSERT_FALSE(caixas.empty());
    EXPECT_EQ(caixas.shown().front().text,
              ctx.config.Msg_Approval + " " + ctx.transacao.NsuTransacao)
        << caixas.texts().join('|').toStdString();
    // The receipt screen showed the lines of the answer and was confirmed; the till export was
    // written.
    EXPECT_TRUE(fechaModais.vistos.contains(QStringLiteral("FormImpressao")));
    const QString nsu = QString::number(ctx.transacao.NsuTransacao.toLongLong());
    EXPECT_TRUE(QFile::exists(exportacao.filePath(nsu + QStringLiteral(".TRC"))))
        << exportacao.entryList().join(',').toStdString();
    EXPECT_TRUE(fechada());
    // The card identification screen is back for the next sale.
    EXPECT_EQ(ctx.TelaAtual, "INCIAL");
}

// The operadora's extra column: shown with its header only in a pre-sale; the lookup's net
// value never.
TEST(PreVendaColunas, PelaOperadoraEModo) {
    const struct {
        int operadora;
        const char* modo;
        const char* cartao;
        int colunas;
        bool extraVisivel;
    } casos[] = {
        {1, "PREVENDA", "6062820000000001", 11, false},
        {3, "PREVENDA", "6062820000000001", 12, true},
        {3, "VENDA", "6062820000000004", 12, false},
    };
    for (const auto& c : casos) {
        Cenario t;
        t.abre(QString::fromLatin1(c.cartao), QString::fromLatin1(c.modo), c.operadora);
        ASSERT_TRUE(t.tela);
        auto* view = t.controle<QTableView>("spdProduto");
        EXPECT_EQ(view->model()->columnCount(), c.colunas) << c.operadora << c.modo;
        EXPECT_EQ(!view->isColumnHidden(G::ValorOperadora - 1) &&
                      G::ValorOperadora <= view->model()->columnCount(),
                  c.extraVisivel)
            << c.operadora << c.modo;
        if (c.extraVisivel) {
            EXPECT_EQ(view->model()->headerData(G::ValorOperadora - 1, Qt::Horizontal).toString(),
                      t.ctx.operadoras.at(c.operadora).complemento.rotulo.trimmed());
        }
        EXPECT_TRUE(view->isColumnHidden(G::ValorLiquidoDll - 1) ||
                    view->model()->columnCount() < G::ValorLiquidoDll);
    }
}

TEST_F(PreVendaTela, DigitarNaGradeComecaNovaBuscaEF3Pesquisa) {
    abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA"));
    pesquisa(kDipirona);
    auto* view = controle<QTableView>("spdProduto");
    QTest::keyClicks(view, QStringLiteral("para"));
    EXPECT_EQ(txt("txtPesquisa")->text(), "PARA");
    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_EQ(txt("txtPesquisa")->text(), "");
    txt("txtPesquisa")->setText(kCobertos[1]);
    QTest::keyClick(tela, Qt::Key_F3);
    ASSERT_EQ(tela->grade().linhas(), 2);
    EXPECT_EQ(tela->grade().texto(2, G::Codigo), kCobertos[1]);
    // Enter on the grid edits the active row: the entry dialog gets it as entry 1.
    view->setCurrentIndex(view->model()->index(0, 0));
    ctx.SelecaoViaConsulta = true;
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_FALSE(ctx.SelecaoViaConsulta);
    ASSERT_GE(ctx.itensVenda.itens.size(), 1);
    EXPECT_EQ(ctx.itensVenda.itens[0].codigo, kDipirona);
    EXPECT_EQ(ctx.itensVenda.itens[0].quantidade, "1");
}

TEST_F(PreVendaTela, VendaBuscaOsBlocosAnunciados) {
    // 15 products: the eligibility brings 12 and announces the other 3.
    abre(QStringLiteral("6062820000000005"), QStringLiteral("VENDA"));
    ASSERT_EQ(tela->grade().linhas(), 15) << caixas.texts().join('|').toStdString();
    EXPECT_FALSE(tela->grade().texto(15, G::Codigo).isEmpty());
    EXPECT_TRUE(caixas.empty()) << caixas.texts().join('|').toStdString();
}

TEST_F(PreVendaTela, AbandonarPergunta) {
    abre(QStringLiteral("6062820000000001"), QStringLiteral("PREVENDA"));
    caixas.clear();
    caixas.answerNext(Answer::No);
    QTest::mouseClick(controle<QPushButton>("btnCancel"), Qt::LeftButton);
    ASSERT_EQ(caixas.shown().size(), 1u);
    EXPECT_EQ(caixas.last().text, "Deseja abandonar operação?");
    EXPECT_EQ(caixas.last().icon, Icon::Critical);
    EXPECT_EQ(caixas.last().defaultButton, Answer::No);
    EXPECT_FALSE(fechada(50));

    // F12 of the main window asks the same question on this screen.
    caixas.answerNext(Answer::Yes);
    loja.janela->mnuEncerrar_Click();
    EXPECT_EQ(caixas.shown().size(), 2u);
    EXPECT_TRUE(fechada());
    EXPECT_EQ(loja.janela->windowTitle(), kTituloInicial);
}

}  // namespace
}  // namespace ql
