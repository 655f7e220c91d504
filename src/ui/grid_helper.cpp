#include "ui/grid_helper.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPointer>
#include <QTableView>

#include "shell/model_roles.h"

namespace ql {

namespace {

void aplicaColunas(QTableView* grade) {
    const QAbstractItemModel* modelo = grade->model();
    if (!modelo) return;
    for (int coluna = 0; coluna < modelo->columnCount(); ++coluna) {
        const bool oculta =
            modelo->headerData(coluna, Qt::Horizontal, roles::ColumnHidden).toBool();
        grade->setColumnHidden(coluna, oculta);
        bool ok = false;
        const int caracteres =
            modelo->headerData(coluna, Qt::Horizontal, roles::ColumnWidthChars).toInt(&ok);
        if (ok && caracteres > 0) {
            grade->setColumnWidth(coluna, LarguraColunaCaracteres(grade, caracteres));
        }
    }
}

}  // namespace

int LarguraColunaCaracteres(const QTableView* grade, int caracteres) {
    const QFontMetrics medidas(grade->font());
    // Average character plus the cell's margins.
    return caracteres * medidas.averageCharWidth() +
           2 * medidas.horizontalAdvance(QLatin1Char(' '));
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
}

}  // namespace ql
