#include "ui/grid_helper.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPointer>
#include <QStyle>
#include <QTableView>

#include "shell/model_roles.h"

#include <algorithm>

namespace ql {

namespace {

const char* const kLargurasMinimas = "ql_larguras_minimas";
const char* const kEncaixa = "ql_encaixa_na_largura";

// The columns as ajustaLarguras left them, narrowed toward their values and their headers'
// longest words until they fit the viewport's width.
void encaixa(QTableView* grade) {
    const QAbstractItemModel* modelo = grade->model();
    QHeaderView* cabecalho = grade->horizontalHeader();
    if (!modelo) return;
    const QFontMetrics medidas(cabecalho->font());
    const int margem =
        2 * grade->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, cabecalho) +
        2 * medidas.horizontalAdvance(QLatin1Char(' '));
    QList<int> colunas, cheias, compactas;
    int somaCheias = 0, somaCompactas = 0;
    for (int coluna = 0; coluna < modelo->columnCount(); ++coluna) {
        if (grade->isColumnHidden(coluna)) continue;
        int palavra = 0;
        const QString titulo = modelo->headerData(coluna, Qt::Horizontal).toString();
        for (const QString& p : titulo.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            palavra = std::max(palavra, medidas.horizontalAdvance(p) + margem);
        const int cheia = grade->columnWidth(coluna);
        const int compacta = std::min(
            cheia, std::max(static_cast<const QAbstractItemView*>(grade)->sizeHintForColumn(coluna),
                            palavra));
        colunas << coluna;
        cheias << cheia;
        compactas << compacta;
        somaCheias += cheia;
        somaCompactas += compacta;
    }
    int sobra = grade->viewport()->width() - somaCompactas;
    const bool quebra = somaCheias > grade->viewport()->width() && sobra >= 0;
    if (quebra) {
        // The room left goes first to the headers that need least to stay on one line.
        QList<qsizetype> ordem;
        for (qsizetype i = 0; i < colunas.size(); ++i) ordem << i;
        std::stable_sort(ordem.begin(), ordem.end(), [&](qsizetype a, qsizetype b) {
            return cheias[a] - compactas[a] < cheias[b] - compactas[b];
        });
        for (qsizetype i : ordem) {
            const int acrescimo = std::min(sobra, cheias[i] - compactas[i]);
            sobra -= acrescimo;
            grade->setColumnWidth(colunas[i], compactas[i] + acrescimo);
        }
    }
    // Two lines of header when a title wraps; the view lays itself out again for the new height.
    const int altura = quebra ? 2 * medidas.height() + 8 : 0;
    if (cabecalho->minimumHeight() != altura) {
        cabecalho->setMinimumHeight(altura);
        QMetaObject::invokeMethod(grade, "updateGeometries", Qt::QueuedConnection);
    }
}

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
    if (grade->property(kEncaixa).toBool()) encaixa(grade);
}

class EncaixeNaLargura final : public QObject {
  public:
    explicit EncaixeNaLargura(QTableView* grade) : QObject(grade), grade_(grade) {
        grade->viewport()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* evento) override {
        if (evento->type() == QEvent::Resize) ajustaLarguras(grade_);
        return false;
    }

  private:
    QTableView* grade_;
};

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

void EncaixaColunasNaLargura(QTableView* grade) {
    if (!grade || grade->property(kEncaixa).toBool()) return;
    grade->setProperty(kEncaixa, true);
    QHeaderView* cabecalho = grade->horizontalHeader();
    cabecalho->setTextElideMode(Qt::ElideNone);
    cabecalho->setDefaultAlignment(Qt::Alignment::fromInt(Qt::AlignCenter | Qt::TextWordWrap));
    new EncaixeNaLargura(grade);
    aplicaColunas(grade);
}

void DefineLargurasMinimas(QTableView* grade, const QList<int>& caracteres) {
    if (!grade) return;
    QVariantList minimas;
    for (int c : caracteres) minimas << c;
    grade->setProperty(kLargurasMinimas, minimas);
    ajustaLarguras(grade);
}

}  // namespace ql
