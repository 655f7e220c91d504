#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace ql {

struct Context;

// Text a journal cell line shows: the line is the type letter followed by the value.
//   "A" the value trimmed; "N" its numeric value ("N000123" -> "123", "N-0012.50" -> "-12,5");
//   "M" cents as an amount with two decimals ("M0000012345" -> "123,45");
//   "D" with 13 characters in all, "yyMMddhhmmss" -> "hh:mm:ss DD/MM/YY";
//   "D" of any other length, "yyMMdd" -> "DD/MM/YY"; any other letter -> "" (empty cell).
// Numbers use the comma as decimal separator whatever the machine's locale.
QString journalCellText(const QString& line);

// Alignment of a data cell by its type letter: left for A and D, right for N and M, none
// (the grid's default) for anything else. Header cells always keep the default.
Qt::Alignment journalCellAlignment(QChar type);

// A journal table as loaded for an administrative grid. Columns are 0-based here: the
// journal's column n is model column n - 1. The header row is the horizontal header; hidden
// columns and widths are header data (roles::ColumnHidden, roles::ColumnWidthChars), the
// cell alignment is Qt::TextAlignmentRole.
class JournalModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    // Everything a journal load produces; filled by the reader and handed over whole.
    struct Content {
        bool hasSubtitle = false;
        QString subtitle;
        int columns = 0;
        QStringList headers;   // one per column
        QVector<bool> hidden;  // one per column
        QVector<int> widths;   // characters, one per column
        int rows = 0;
        // Cell texts, row by row, one after the other in `text`: cell k is the part from
        // offsets[k] to offsets[k + 1] (one string instead of one per cell keeps a large
        // journal small).
        QString text;
        QVector<qsizetype> offsets{0};
        QByteArray alignment;  // one per cell: 0 default, 1 left, 2 right
    };

    explicit JournalModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Cell text of a data row (both 0-based); "" outside the table.
    QString text(int row, int column) const;
    QString headerText(int column) const;
    bool isColumnHidden(int column) const;
    // Length of the longest trimmed value of the column, header included, in characters; a
    // screen shows the larger of this and its own design width.
    int columnWidth(int column) const;
    // The journal's title line, when the file had a title block (the screen's subtitle).
    bool hasSubtitle() const { return content_.hasSubtitle; }
    QString subtitle() const { return content_.subtitle; }

    void clear();
    void setContent(Content content);

  private:
    QString cell(qsizetype k) const;

    Content content_;
};

// Loads a journal into the grid: finds the first file of the server directory matching
// `padrao` (e.g. "TS00000123-000045.S??"), checks its checksum, reads it block by block and
// fills the grid. True when at least one data row was loaded. Shows its own messages (file
// not found, corrupted file — a file beyond the data-file size limit is one —, no rows; other
// failures through the common error routine under "CarregaGrid", among them a grid that would
// hold more cells, rows × columns, than the size limit has bytes). When the file has a title block,
// `subtitulo` receives the title.
bool CarregaGrid(Context& ctx, const QString& padrao, JournalModel& grid,
                 QString* subtitulo = nullptr);

// The reading part of CarregaGrid on bytes already in memory, with no file search and no
// checksum check; for the benchmark and the fuzzer, which feed bodies no check would pass.
// Same result, messages and subtitle as CarregaGrid.
bool loadJournalBody(Context& ctx, const QByteArray& bytes, JournalModel& grid,
                     QString* subtitulo = nullptr);

}  // namespace ql
