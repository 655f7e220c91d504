#include "ui/grid_helper.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPointer>
#include <QStyle>
#include <QTableView>

#include "shell/model_roles.h"

namespace ql {

namespace {

const char* const kLargurasMinimas = "ql_larguras_minimas";

// The layout's width of a column in pixels: the screen's own list, else the model's header
// data; 0 when neither gives one.
int larguraMinima(const QTableView* grade, int coluna) {
    const QVariantList minimas = grade->property(kLargurasMinimas).toList();
    int caracteres = coluna < minimas.size() ? minimas.at(coluna).toInt() : 0;
    if (caracteres <= 0 && grade->model()) {
        caracteres =
            grade->model()->headerData(coluna, Qt::Horizontal, roles::ColumnWidthChars).toInt();
    }
    return caracteres > 0 ? LarguraColunaCaracteres(grade, caracteres) : 0;
}

// Header and values measured in the font the view draws with (the widths of the layout were
// measured in another font), never below the layout's width.
void ajustaLarguras(QTableView* grade) {
    const QAbstractItemModel* modelo = grade->model();
    if (!modelo) return;
    for (int coluna = 0; coluna < modelo->columnCount(); ++coluna) {
        if (grade->isColumnHidden(coluna)) continue;
        grade->resizeColumnToContents(coluna);
        const int minima = larguraMinima(grade, coluna);
        if (grade->columnWidth(coluna) < minima) grade->setColumnWidth(coluna, minima);
    }
}

void aplicaColunas(QTableView* grade) {
    const QAbstractItemModel* modelo = grade->model();
    if (!modelo) return;
    for (int coluna = 0; coluna < modelo->columnCount(); ++coluna) {
        grade->setColumnHidden(
            coluna, modelo->headerData(coluna, Qt::Horizontal, roles::ColumnHidden).toBool());
    }
    ajustaLarguras(grade);
}

}  // namespace

int LarguraColunaCaracteres(const QTableView* grade, int caracteres) {
    const QFontMetrics medidas(grade->font());
    // Average character plus the cell's margins.
    return caracteres * medidas.averageCharWidth() +
           2 * medidas.horizontalAdvance(QLatin1Char(' '));
}

int LarguraTodasColunas(const QTableView* grade) {
    int largura = 2 * grade->frameWidth() + grade->verticalHeader()->sizeHint().width() +
                  grade->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QAbstractItemModel* modelo = grade->model();
    for (int coluna = 0; modelo && coluna < modelo->columnCount(); ++coluna)
        if (!grade->isColumnHidden(coluna)) largura += grade->columnWidth(coluna);
    return largura;
}

void AplicaColunasGrade(QTableView* grade) {
    if (!grade) return;
    grade->setSelectionBehavior(QAbstractItemView::SelectRows);
    grade->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grade->setWordWrap(false);
    grade->verticalHeader()->setDefaultSectionSize(QFontMetrics(grade->font()).height() + 6);
    aplicaColunas(grade);

    QAbstractItemModel* modelo = grade->model();
    if (!modelo) return;
    // Follow the model once per model: reconnecting on a second call would double the work.
    const char* chave = "ql_grade_modelo";
    if (grade->property(chave).value<QObject*>() == modelo) return;
    grade->setProperty(chave, QVariant::fromValue<QObject*>(modelo));
    QPointer<QTableView> guarda = grade;
    auto reaplica = [guarda] {
        if (guarda) aplicaColunas(guarda);
    };
    QObject::connect(modelo, &QAbstractItemModel::modelReset, grade, reaplica);
    QObject::connect(modelo, &QAbstractItemModel::headerDataChanged, grade,
                     [reaplica](Qt::Orientation o, int, int) {
                         if (o == Qt::Horizontal) reaplica();
                     });
    QObject::connect(modelo, &QAbstractItemModel::columnsInserted, grade, reaplica);
    auto reajusta = [guarda] {
        if (guarda) ajustaLarguras(guarda);
    };
    QObject::connect(modelo, &QAbstractItemModel::rowsInserted, grade, reajusta);
    QObject::connect(modelo, &QAbstractItemModel::dataChanged, grade, reajusta);
    QObject::connect(modelo, &QAbstractItemModel::layoutChanged, grade, reajusta);
}

void DefineLargurasMinimas(QTableView* grade, const QList<int>& caracteres) {
    if (!grade) return;
    QVariantList minimas;
    for (int c : caracteres) minimas << c;
    grade->setProperty(kLargurasMinimas, minimas);
    ajustaLarguras(grade);
}

}  // namespace ql
