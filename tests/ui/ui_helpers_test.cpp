#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "shell/model_roles.h"
#include "shell/screens/form_sobre.h"
#include "support/test_context.h"
#include "ui/busy_cursor.h"
#include "ui/grid_helper.h"
#include "ui/key_filters.h"
#include "ui/qt_message_boxes.h"

namespace ql {
namespace {

using Answer = MessageBoxes::Answer;
using Buttons = MessageBoxes::Buttons;

// Shows one box through QtMessageBoxes and clicks the button with the given text. The box as
// seen: "title, icon, buttons in alphabetical order, default button".
std::pair<QString, Answer> mostra(Buttons botoes, Answer padrao, const char* clicar) {
    QString vista;
    QTimer::singleShot(0, [&] {
        auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!caixa) return;
        QStringList nomes;
        for (QAbstractButton* b : caixa->buttons()) nomes << b->text();
        nomes.sort();
        vista = QStringLiteral("%1, %2, %3, %4")
                    .arg(caixa->windowTitle())
                    .arg(caixa->icon())
                    .arg(nomes.join(u' '), caixa->defaultButton()->text());
        for (QAbstractButton* b : caixa->buttons()) {
            if (b->text() == QString::fromUtf8(clicar)) b->click();
        }
    });
    const Answer resposta =
        QtMessageBoxes().show(QStringLiteral("Texto"), QStringLiteral("Atenção"),
                              MessageBoxes::Icon::Critical, botoes, padrao);
    return {vista, resposta};
}

TEST(QtMessageBoxes, PortugueseButtonsAndDefaults) {
    const struct {
        Buttons botoes;
        Answer padrao;
        const char* clicar;
        const char* vista;  // QMessageBox::Critical is 3
        Answer resposta;
    } casos[] = {
        {Buttons::YesNo, Answer::No, "Sim", "Atenção, 3, Não Sim, Não", Answer::Yes},
        {Buttons::YesNo, Answer::Yes, "Não", "Atenção, 3, Não Sim, Sim", Answer::No},
        {Buttons::Ok, Answer::Ok, "OK", "Atenção, 3, OK, OK", Answer::Ok},
        {Buttons::OkCancel, Answer::Cancel, "Cancelar", "Atenção, 3, Cancelar OK, Cancelar",
         Answer::Cancel},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.clicar);
        EXPECT_EQ(mostra(caso.botoes, caso.padrao, caso.clicar),
                  std::make_pair(QString::fromUtf8(caso.vista), caso.resposta));
    }
}

// Nested guards restore the pointer once; a button disabled before the command stays
// disabled; a button the command destroys is not touched.
TEST(BusyCursor, RestoresPointerAndButton) {
    QPushButton botao;
    QPushButton desligado;
    desligado.setEnabled(false);
    auto* efemero = new QPushButton;
    {
        BusyCursor externo(&botao);
        EXPECT_FALSE(botao.isEnabled());
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        {
            BusyCursor interno(&botao), outro(&desligado), ultimo(efemero);
            delete efemero;
        }
        EXPECT_FALSE(botao.isEnabled());
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_TRUE(botao.isEnabled());
    EXPECT_FALSE(desligado.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The key rules are the sale's own; here each way into a box reaches its rule and the rule's
// result reaches the box: a refused key stays out, a key of the rule's own (Backspace) is not
// typed, a replaced letter goes in within the box's length, a digit goes in as typed.
TEST(KeyFilters, KeysAndOutsideChangesReachTheRuleAndItsResultTheBox) {
    QLineEdit valor;
    InstalaCampoValor(&valor);
    valor.setText(QStringLiteral("0,00"));
    QTest::keyClicks(&valor, QStringLiteral("x12"));
    EXPECT_EQ(valor.text(), QStringLiteral("0,12"));
    QTest::keyClick(&valor, Qt::Key_Backspace);
    EXPECT_EQ(valor.text(), QStringLiteral("0,00"));
    valor.setText(QStringLiteral("7"));  // a change from outside (paste, program)
    EXPECT_EQ(valor.text(), QStringLiteral("0,07"));
    valor.selectAll();
    QTest::keyClick(&valor, '4');
    EXPECT_EQ(valor.text(), QStringLiteral("0,04"));
    QTest::keyClick(&valor, Qt::Key_Left);  // navigation keys are the box's own
    EXPECT_EQ(valor.cursorPosition(), 3);

    QLineEdit texto;
    InstalaFiltraTecla(&texto);
    texto.setMaxLength(6);
    QTest::keyClicks(&texto, QStringLiteral("d'agua12"));
    EXPECT_EQ(texto.text(), QStringLiteral("DAGUA1"));
    texto.clear();
    texto.insert(QStringLiteral("o'neil"));  // pasted
    EXPECT_EQ(texto.text(), QStringLiteral("ONEIL"));
}

// Enter moves to the next field (the gross price's two on, wrapping from the last to the
// first); a function key clicks its button only while the button is usable.
TEST(KeyFilters, EnterAndFunctionKeysOnAScreen) {
    QWidget tela;
    auto* layout = new QVBoxLayout(&tela);
    QLineEdit* campos[4];
    for (QLineEdit*& e : campos) layout->addWidget(e = new QLineEdit(&tela));
    auto* botao = new QPushButton(QStringLiteral("F2 - Teste"), &tela);
    botao->setFocusPolicy(Qt::NoFocus);  // not a stop for Enter
    layout->addWidget(botao);
    InstalaEnterTab(campos[0]);
    InstalaCampoValor(campos[2], &PrecoBruto_KeyPress);
    int cliques = 0;
    QObject::connect(botao, &QPushButton::clicked, [&] { ++cliques; });
    InstalaTeclasFuncao(&tela, {{Qt::Key_F2, botao}});
    tela.show();
    campos[0]->setFocus();
    QApplication::processEvents();
    QTest::keyClick(campos[0], Qt::Key_Return);
    EXPECT_EQ(tela.focusWidget(), campos[1]);
    campos[2]->setFocus();
    QTest::keyClick(campos[2], Qt::Key_Return);
    EXPECT_EQ(tela.focusWidget(), campos[0]);

    QTest::keyClick(campos[0], Qt::Key_F2);
    botao->setEnabled(false);
    QTest::keyClick(campos[0], Qt::Key_F2);
    botao->setEnabled(true);
    botao->hide();
    QTest::keyClick(campos[0], Qt::Key_F2);
    botao->show();
    QTest::keyClick(campos[0], Qt::Key_F3);
    EXPECT_EQ(cliques, 1);
}

// A grid model that declares one hidden column and widths in characters.
class ModeloGrade final : public QStandardItemModel {
  public:
    ModeloGrade() : QStandardItemModel(2, 3) {}
    QVariant headerData(int secao, Qt::Orientation o, int papel) const override {
        if (o == Qt::Horizontal && papel == roles::ColumnHidden) return secao == 1;
        if (o == Qt::Horizontal && papel == roles::ColumnWidthChars) return larguras[secao];
        return QStandardItemModel::headerData(secao, o, papel);
    }
    int larguras[3] = {10, 5, 30};
    void mudaLarguras() {
        larguras[0] = 20;
        emit headerDataChanged(Qt::Horizontal, 0, 2);
    }
};

TEST(GridHelper, AppliesHiddenColumnsAndWidths) {
    ModeloGrade modelo;
    QTableView grade;
    grade.setModel(&modelo);
    AplicaColunasGrade(&grade);
    EXPECT_FALSE(grade.isColumnHidden(0));
    EXPECT_TRUE(grade.isColumnHidden(1));
    EXPECT_EQ(grade.columnWidth(0), LarguraColunaCaracteres(&grade, 10));
    EXPECT_EQ(grade.columnWidth(2), LarguraColunaCaracteres(&grade, 30));

    AplicaColunasGrade(&grade);  // a second call does not connect twice
    modelo.mudaLarguras();
    EXPECT_EQ(grade.columnWidth(0), LarguraColunaCaracteres(&grade, 20));

    // A header or a value wider than the layout's width widens its column, measured in the
    // font the view draws with; a later, wider row widens it again.
    const QFontMetrics medidas(grade.font());
    const QString cabecalho = QStringLiteral("Pagto Cliente do Produto Vendido");
    modelo.setHorizontalHeaderLabels({cabecalho, QStringLiteral("B"), QStringLiteral("C")});
    EXPECT_GT(grade.columnWidth(0), medidas.horizontalAdvance(cabecalho));
    const QString codigos = QStringLiteral("7891185094945 7891185094945 7891185094945");
    modelo.setItem(1, 2, new QStandardItem(codigos));
    EXPECT_GT(grade.columnWidth(2), medidas.horizontalAdvance(codigos));
    DefineLargurasMinimas(&grade, {0, 0, 90});  // the screen's own layout widths
    EXPECT_EQ(grade.columnWidth(2), LarguraColunaCaracteres(&grade, 90));
}

// Headers much wider than their values wrap so that the columns fit the visible width.
TEST(GridHelper, JournalColumnsGiveUpTheirHeadersRoomToFit) {
    QStandardItemModel modelo(1, 6);
    for (int c = 0; c < 6; ++c) {
        modelo.setHeaderData(c, Qt::Horizontal, QStringLiteral("Valor Desconto Total"));
        modelo.setItem(0, c, new QStandardItem(QStringLiteral("1,00")));
    }
    QTableView grade;
    grade.setModel(&modelo);
    AplicaColunasGrade(&grade);
    EncaixaColunasNaLargura(&grade);
    ASSERT_GT(LarguraTodasColunas(&grade), 520);
    grade.resize(500, 200);
    grade.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grade));
    QCoreApplication::processEvents();
    EXPECT_EQ(grade.horizontalScrollBar()->maximum(), 0);  // nothing to scroll sideways
}

TEST(FormSobre, FileFactsAndSystemTool) {
    test::TestContext t;
    const QString programa = t.writeFile(QStringLiteral("programa"), QString(1234567, 'x'));
    EXPECT_EQ(FormSobre::TextoTamanhoArquivo(programa), QStringLiteral("1.234.567 bytes"));

    // No tool in the searched folder: the window says so.
    FormSobre sobre(t.ctx);
    sobre.setDiretoriosFerramentas({t.path(QStringLiteral("vazio"))});
    sobre.cmdSysInfo_Click();
    ASSERT_FALSE(t.boxes.empty());
    EXPECT_EQ(t.boxes.last().text,
              QStringLiteral("Nenhuma ferramenta de informações do sistema está instalada."));
    EXPECT_TRUE(sobre.cmdSysInfo()->isEnabled());

    // An executable of a known name is found, the preferred one first.
    QDir(t.dir.path()).mkdir(QStringLiteral("bin"));
    for (const char* nome : {"kinfocenter", "gnome-system-monitor"}) {
        QFile f(t.path(QStringLiteral("bin/") + QLatin1String(nome)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    EXPECT_EQ(FormSobre::LocalizaFerramentaSistema(FormSobre::FerramentasSistema(),
                                                   {t.path(QStringLiteral("bin"))}),
              t.path(QStringLiteral("bin/gnome-system-monitor")));
}

}  // namespace
}  // namespace ql
