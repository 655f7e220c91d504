#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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

// Shows one box through QtMessageBoxes; meanwhile records the box's buttons and default and
// clicks the button with the given text.
struct CaixaVista {
    QStringList botoes;
    QString padrao;
    QString titulo;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    Answer resposta = Answer::Ok;
};

CaixaVista mostra(Buttons botoes, Answer padrao, const QString& clicar) {
    CaixaVista vista;
    QTimer::singleShot(0, [&] {
        auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!caixa) return;
        vista.titulo = caixa->windowTitle();
        vista.icone = caixa->icon();
        if (caixa->defaultButton()) vista.padrao = caixa->defaultButton()->text();
        for (QAbstractButton* b : caixa->buttons()) {
            vista.botoes << b->text();
            if (b->text() == clicar) b->click();
        }
    });
    QtMessageBoxes caixas;
    vista.resposta = caixas.show(QStringLiteral("Texto"), QStringLiteral("Atenção"),
                                 MessageBoxes::Icon::Critical, botoes, padrao);
    return vista;
}

TEST(QtMessageBoxes, PortugueseButtonsAndDefaults) {
    const struct {
        Buttons botoes;
        Answer padrao;
        const char* clicar;
        const char* textoPadrao;
        Answer resposta;
    } casos[] = {
        {Buttons::YesNo, Answer::No, "Sim", "Não", Answer::Yes},
        {Buttons::YesNo, Answer::Yes, "Não", "Sim", Answer::No},
        {Buttons::Ok, Answer::Ok, "OK", "OK", Answer::Ok},
        {Buttons::OkCancel, Answer::Cancel, "Cancelar", "Cancelar", Answer::Cancel},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.clicar);
        const CaixaVista vista = mostra(caso.botoes, caso.padrao, QString::fromUtf8(caso.clicar));
        EXPECT_EQ(vista.resposta, caso.resposta);
        EXPECT_EQ(vista.padrao, QString::fromUtf8(caso.textoPadrao));
        EXPECT_EQ(vista.titulo, QStringLiteral("Atenção"));
        EXPECT_EQ(vista.icone, QMessageBox::Critical);
        EXPECT_TRUE(vista.botoes.contains(QString::fromUtf8(caso.clicar)));
    }
}

TEST(BusyCursor, RestoresPointerAndButton) {
    QPushButton botao;
    {
        BusyCursor externo(&botao);
        EXPECT_FALSE(botao.isEnabled());
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        {
            BusyCursor interno(&botao);  // already disabled: left for the outer guard
        }
        EXPECT_FALSE(botao.isEnabled());
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_TRUE(botao.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A button disabled before the command stays disabled; a button destroyed by the command
    // is not touched.
    QPushButton desligado;
    desligado.setEnabled(false);
    { BusyCursor guarda(&desligado); }
    EXPECT_FALSE(desligado.isEnabled());
    auto* efemero = new QPushButton;
    {
        BusyCursor guarda(efemero);
        delete efemero;
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(KeyFilters, AmountAndTextFieldsFromKeyEvents) {
    QLineEdit valor;
    InstalaCampoValor(&valor);
    valor.setText(QStringLiteral("0,00"));
    QTest::keyClicks(&valor, QStringLiteral("1234567"));
    EXPECT_EQ(valor.text(), QStringLiteral("12.345,67"));
    QTest::keyClick(&valor, '8');
    EXPECT_EQ(valor.text(), QStringLiteral("12.345,67"));
    QTest::keyClick(&valor, Qt::Key_Backspace);
    EXPECT_EQ(valor.text(), QStringLiteral("0,00"));
    QTest::keyClicks(&valor, QStringLiteral("x9"));
    EXPECT_EQ(valor.text(), QStringLiteral("0,09"));
    valor.setText(QStringLiteral("7"));  // a change from outside (paste, program)
    EXPECT_EQ(valor.text(), QStringLiteral("0,07"));
    valor.selectAll();
    QTest::keyClick(&valor, '4');
    EXPECT_EQ(valor.text(), QStringLiteral("0,04"));
    QTest::keyClick(&valor, Qt::Key_Left);  // navigation keys are the box's own
    EXPECT_EQ(valor.cursorPosition(), 3);

    QLineEdit texto;
    InstalaFiltraTecla(&texto);
    QTest::keyClicks(&texto, QStringLiteral("d'agua"));
    EXPECT_EQ(texto.text(), QStringLiteral("DAGUA"));
    texto.setMaxLength(6);
    QTest::keyClicks(&texto, QStringLiteral("ÿyz"));
    EXPECT_EQ(texto.text(), QStringLiteral("DAGUAŸ")) << "the maximum length still holds";
    texto.clear();
    texto.insert(QStringLiteral("o'neil"));  // pasted
    EXPECT_EQ(texto.text(), QStringLiteral("ONEIL"));
}

TEST(KeyFilters, EnterMovesToTheNextField) {
    QWidget janela;
    auto* layout = new QVBoxLayout(&janela);
    auto* primeiro = new QLineEdit(&janela);
    auto* segundo = new QLineEdit(&janela);
    auto* preco = new QLineEdit(&janela);
    auto* ultimo = new QLineEdit(&janela);
    for (QLineEdit* e : {primeiro, segundo, preco, ultimo}) layout->addWidget(e);
    InstalaEnterTab(primeiro);
    InstalaCampoValor(preco, &PrecoBruto_KeyPress);
    janela.show();
    primeiro->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(janela.focusWidget(), primeiro);

    QTest::keyClick(primeiro, Qt::Key_Return);
    EXPECT_EQ(janela.focusWidget(), segundo);
    // The gross price's Enter moves two fields on (wrapping from the last to the first).
    preco->setFocus();
    QTest::keyClick(preco, Qt::Key_Return);
    EXPECT_EQ(janela.focusWidget(), primeiro);
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

TEST(KeyFilters, FunctionKeysActOnlyOnUsableButtons) {
    QWidget tela;
    auto* campo = new QLineEdit(&tela);
    auto* botao = new QPushButton(QStringLiteral("F2 - Teste"), &tela);
    int cliques = 0;
    QObject::connect(botao, &QPushButton::clicked, [&] { ++cliques; });
    InstalaTeclasFuncao(&tela, {{Qt::Key_F2, botao}});
    tela.show();
    campo->setFocus();

    QTest::keyClick(campo, Qt::Key_F2);  // from a control inside the screen
    EXPECT_EQ(cliques, 1);
    botao->setEnabled(false);
    QTest::keyClick(campo, Qt::Key_F2);
    botao->setEnabled(true);
    botao->hide();
    QTest::keyClick(campo, Qt::Key_F2);
    EXPECT_EQ(cliques, 1) << "a disabled or hidden button ignores its key";
    QTest::keyClick(campo, Qt::Key_F3);
    EXPECT_EQ(cliques, 1);
}

TEST(GridHelper, AppliesHiddenColumnsAndWidths) {
    ModeloGrade modelo;
    QTableView grade;
    grade.setModel(&modelo);
    AplicaColunasGrade(&grade);
    EXPECT_FALSE(grade.isColumnHidden(0));
    EXPECT_TRUE(grade.isColumnHidden(1));
    EXPECT_EQ(grade.columnWidth(0), LarguraColunaCaracteres(&grade, 10));
    EXPECT_EQ(grade.columnWidth(2), LarguraColunaCaracteres(&grade, 30));
    EXPECT_GT(grade.columnWidth(2), grade.columnWidth(0));
    EXPECT_EQ(grade.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grade.editTriggers(), QAbstractItemView::NoEditTriggers);

    modelo.mudaLarguras();
    EXPECT_EQ(grade.columnWidth(0), LarguraColunaCaracteres(&grade, 20));
    AplicaColunasGrade(&grade);  // a second call does not connect twice
    EXPECT_TRUE(grade.isColumnHidden(1));

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
