// What the pending-list, lot and cancellation screens add to the logic of tests/admin.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

#include "admin/journal_model.h"
#include "admin/screens/form_cancela.h"
#include "admin/screens/form_consulta.h"
#include "admin/screens/form_nsu.h"
#include "admin/screens/frm_cancela_produtos.h"
#include "host/valores.h"
#include "support/ui/loja_demo.h"
#include "support/venda_demo.h"
#include "ui/telas.h"

namespace ql {
namespace {

using test::achaTela;
using test::Passo;
using test::tecla;
using Answer = MessageBoxes::Answer;

const QString kAutorizacao = QStringLiteral("Número da autorização: ");

// The row of the grid whose NSU (column 2) is the given one; -1 when none.
int linhaDoNsu(const JournalModel& m, const QString& nsu) {
    for (int r = 0; r < m.rowCount(); ++r)
        if (valorInteiro(m.text(r, 1)) == valorInteiro(nsu)) return r;
    return -1;
}

// The demo store in the administrative menu's state with card 0004's sale pending; every
// receipt is confirmed as it shows.
struct Loja : test::LojaAdministrativa {
    static inline Loja* atual = nullptr;
    GradeAutorizacao grade;
    QString nsu;
    QStringList anotadas;  // see anota()
    QString nsuAnotado;
    QStandardItemModel modelo{1, 13};  // a product list of the item dialog's scenes
    std::unique_ptr<QTableView> lista;

    Loja() {
        atual = this;
        ctx.TipoEstab = 1;
        nsu = test::VendePreAutorizacao0004(ctx, QStringLiteral("123456"), false, &grade);
        ctx.ident.AdministradoraSelecionada = 1;  // chosen in the administrative menu
        ctx.TelaAtual = QStringLiteral("ADMINISTRATIVA");
        tela = loja.janela.get();  // until a list opens
    }
    ~Loja() {
        atual = nullptr;
        qDeleteAll(loja.janela->areaTelas()->subWindowList());
    }
    QTableView* grade_() { return tela ? tela->findChild<QTableView*>() : nullptr; }
};

// Sets the messages shown so far aside, with the NSU of the transaction then, for the scene's
// own check: they hold numbers the host chooses.
Passo anota() {
    return {[](QWidget*) {
        Loja& l = *Loja::atual;
        l.anotadas += l.caixas.texts();
        l.nsuAnotado = l.ctx.transacao.NsuTransacao;
        l.caixas.clear();
    }};
}

// The pending list opened from the menu on the sale's row.
struct Pendentes : Loja {
    Pendentes() {
        AbreFormComplementar(*loja.janela);
        AbreFormConsulta(*loja.janela);
        auto* t = achaTela<FormConsulta>(QStringLiteral("FormConsulta"));
        EXPECT_TRUE(t) << caixas.texts().join(" | ").toStdString();
        tela = t;
        if (t) t->grade()->setCurrentIndex(t->modelo().index(linhaDoNsu(t->modelo(), nsu), 0));
    }
    QWidget* menu() { return achaTela(QStringLiteral("FormComplementar")); }
};

TEST(PendentesCenas, DesfazConfirmaImprimeESai) {
    using P = Pendentes;
    test::encena<P>({
        {.nome = "F5 undoes the active row's sale; the main window's F12 closes the list and "
                 "the menu keeps its own state",
         .passos = {tecla(Qt::Key_F5, "spdLote"), test::f12DaJanela()},
         .caixas = {"Anulação efetuada com sucesso!"},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(test::telaFechada("FormConsulta"));
                 EXPECT_FALSE(p.menu()->parentWidget()->isMaximized());
                 EXPECT_FALSE(p.loja.janela->mnuImprimir()->isEnabled());
             }},
        {.nome = "Opens maximised over the menu, under its name and title; F3 confirms the active "
                 "row's sale; F11 prints the list",
         .passos = {tecla(Qt::Key_F3, "spdLote"), tecla(Qt::Key_F11, "spdLote")},
         .caixas = {"Confirmação efetuada com sucesso!", "Impressão efetuada!"},
         .confere =
             [](P& p) {
                 EXPECT_TRUE(p.tela->parentWidget()->isMaximized());
                 EXPECT_EQ(p.ctx.TelaAtual, u"TRANSACOESPENDENTES");
                 EXPECT_EQ(p.loja.janela->windowTitle(),
                           u"Quillane Client      Tela 0007 - Transações Pendentes    "
                           u"05/12/2026 10:00:00");
             }},
        {.nome = "Its F12 asks before ending the program; Esc closes it and clears the name",
         .passos = {tecla(Qt::Key_F12, "spdLote"), tecla(Qt::Key_Escape)},
         .caixas = {"Confirma a Saída do Sistema"},
         .respostas = {Answer::No},
         .confere =
             [](P& p) {
                 EXPECT_FALSE(p.loja.eventos.contains(QStringLiteral("fim")));
                 EXPECT_TRUE(test::telaFechada("FormConsulta"));
                 EXPECT_EQ(p.ctx.TelaAtual, QString());
             }},
    });
}

// The lot of the sale.
struct Lote : Loja {
    QString numero;
    Lote() {
        const QStringList lotes = QDir(ctx.config.PathServer).entryList({"TS00000123-*"});
        EXPECT_EQ(lotes.size(), 1);
        numero = lotes.value(0).mid(11, 6);
        abre();
    }
    void abre() {
        AbreFormNsu(*loja.janela, numero);
        tela = achaTela<FormNsu>(QStringLiteral("FormNsu"));
        EXPECT_TRUE(tela) << caixas.texts().join(" | ").toStdString();
    }
    FormNsu* nsuTela() { return qobject_cast<FormNsu*>(tela.data()); }
};

TEST(LoteCenas, TotaisCancelamentoEProdutos) {
    using P = Lote;
    test::encena<P>({
        {.nome = "Opens in its place with the sale's net total on screen and in the print",
         .confere =
             [](P& p) {
                 EXPECT_FALSE(p.tela->parentWidget()->isMaximized());
                 EXPECT_EQ(p.ctx.TelaAtual, u"TRANSACOESDOLOTE");
                 const QString liquido = formataValor(p.grade.totais().venda);
                 EXPECT_EQ(achaTela<QLineEdit>("txtTotValorLiqVda")->text(), liquido);
                 EXPECT_TRUE(p.nsuTela()->tituloImpressao().startsWith(
                     QStringLiteral("Total Líquido Venda :        ") + liquido));
             }},
        {.nome = "F4 cancels the transaction under the host's new NSU; the grid is not re-read: "
                 "the same row again is refused by the host",
         .passos = {tecla(Qt::Key_F4, "spdNsu"), anota(), tecla(Qt::Key_F4, "spdNsu")},
         .caixas = {"TRANSACAO JA CANCELADA", "Cancelamento não realizado!"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.anotadas.value(0), kAutorizacao + p.nsuAnotado);
                 EXPECT_NE(valorInteiro(p.nsuAnotado), valorInteiro(p.nsu));
             }},
        {.nome = "F8 hands the sale to its product list; Esc closes the lot",
         .passos = {tecla(Qt::Key_F8, "spdNsu"), tecla(Qt::Key_Escape, "FormNsu")},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.ctx.TelaAtual, u"PRODUTOSDATRANSACAO");
                 EXPECT_EQ(valorInteiro(p.ctx.transacao.NsuTransacao), valorInteiro(p.nsu));
                 EXPECT_TRUE(test::telaFechada("FormNsu"));
             }},
        {.nome = "A cancellation row (CT) has no products to cancel: F8 opens nothing",
         .prepara =
             [](P& p) {
                 QTest::keyClick(p.grade_(), Qt::Key_F4);
                 p.nsuTela()->cmdSair_Click();
                 ASSERT_TRUE(test::telaFechada("FormNsu"));
                 p.ctx.TelaAtual = QStringLiteral("RESUMOVENDA");
                 p.abre();
                 const JournalModel& m = p.nsuTela()->modelo();
                 ASSERT_EQ(m.rowCount(), 2);
                 const int ct = linhaDoNsu(m, p.nsu) == 0 ? 1 : 0;
                 EXPECT_EQ(m.text(ct, 5), u"CT");
                 p.grade_()->setCurrentIndex(m.index(ct, 1));
             },
         .passos = {tecla(Qt::Key_F8, "spdNsu")},
         .confere = [](P& p) { EXPECT_EQ(p.ctx.TelaAtual, u"PRODUTOSDATRANSACAO"); }},
    });
}

// The sale's item 1 as the item cancellation dialog finds it: four of DIPIRONA.
void umItem(Loja& l) {
    l.ctx.itensVenda.clear();
    l.ctx.itensVenda.count = 1;
    ItemVenda& item = l.ctx.itensVenda.item(1);
    item.codigo = QStringLiteral("7891058001155");
    item.descricao = QStringLiteral("DIPIRONA");
    item.quantidade = QStringLiteral("4");
}

// Notes the product and the quantity the dialog proposes, then leaves it with Esc.
Passo anotaItemEFecha(const char* quantidade = nullptr) {
    return test::quandoAbrir("frmCancelaProdutos", [quantidade](QWidget* w) {
        auto* txtQuantidade = w->findChild<QLineEdit*>(QStringLiteral("txtQuantidade"));
        Loja::atual->anotadas = {w->findChild<QLineEdit*>(QStringLiteral("txtProduto"))->text(),
                                 txtQuantidade->text()};
        if (quantidade) {
            txtQuantidade->clear();
            test::digitaEm(txtQuantidade, QString::fromLatin1(quantidade), Qt::Key_F3);
            EXPECT_TRUE(w->isVisible());
        }
        QTest::keyClick(w, Qt::Key_Escape);
    });
}

Passo digitaNsu(const QString& nsu, bool comProdutos) {
    return test::quandoAbrir("FormCancela", [=](QWidget* w) {
        w->findChild<QRadioButton*>(QStringLiteral("OptComPrd"))->setChecked(comProdutos);
        const QString digitado =
            nsu.isEmpty() ? formataZeros(valorInteiro(Loja::atual->nsu), 12) : nsu;
        test::digitaEm(w->findChild<QWidget*>(QStringLiteral("txtNSU")), digitado, Qt::Key_F3);
        EXPECT_EQ(w->isVisible(), !nsu.isEmpty());  // a refused number keeps the dialog
        if (w->isVisible()) test::recusa(w);
    });
}

TEST(DialogosCenas, ItemENsuDigitado) {
    using P = Loja;
    auto executa = [](void (*dialogo)(FormPrincipal&)) {
        return Passo{[=](QWidget* t) { dialogo(*qobject_cast<FormPrincipal*>(t)); }};
    };
    const Passo item = executa(ExecutaFrmCancelaProdutos), cancela = executa(ExecutaFormCancela);
    test::encena<P>({
        {.nome = "No product list open: the item's quantity; more than it holds is refused and "
                 "the dialog stays",
         .prepara = umItem,
         .passos = {anotaItemEFecha("5a-,"), item},  // only its digit is taken
         .caixas = {"A quantidade informada não pode ser maior que o valor original"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.anotadas, QStringList({"7891058001155  -  DIPIRONA", "4"}));
             }},
        {.nome = "The product list's active row as written, with the cancellable quantity",
         .prepara =
             [](P& p) {
                 umItem(p);
                 p.modelo.setItem(0, 4, new QStandardItem(QStringLiteral("0001234")));
                 p.modelo.setItem(0, 7, new QStandardItem(QStringLiteral("ATENOLOL")));
                 p.modelo.setItem(0, 10, new QStandardItem(QStringLiteral("3")));
                 p.lista = std::make_unique<QTableView>(p.loja.janela.get());
                 p.lista->setObjectName(QStringLiteral("spdProdutos"));
                 p.lista->setModel(&p.modelo);
                 p.lista->setCurrentIndex(p.modelo.index(0, 0));
                 p.ctx.itensVenda.item(1).codigo = QStringLiteral("1234");  // as copied in
             },
         .passos = {anotaItemEFecha(), item},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.anotadas, QStringList({"0001234  -  ATENOLOL", "3"}));
             }},
        {.nome = "Shorter than the layout's minimum: refused in the dialog",
         .prepara = [](P& p) { p.ctx.telas.FormCancela[1].lblNSU.minLength = 6; },
         .passos = {digitaNsu("12A.3-45", true), cancela},  // its five digits
         .caixas = {"O campo NSU deve conter pelo menos 6 caracteres."}},
        {.nome = "The sale's NSU in full with its products: cancelled under the host's number; "
                 "again without them: the host's refusal only",
         .passos = {digitaNsu({}, true), cancela, anota(), digitaNsu({}, false), cancela},
         .caixas = {"TRANSACAO JA CANCELADA"},
         .confere =
             [](P& p) {
                 EXPECT_EQ(p.anotadas.value(0), kAutorizacao + p.nsuAnotado);
                 EXPECT_EQ(p.ctx.transacao.TipoTransacao, u"XX");
             }},
    });
}

}  // namespace
}  // namespace ql
