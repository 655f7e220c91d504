#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

namespace ql {

// One column of a journal table. The type letter decides how the administrative grids show
// the column's data cells:
//   'A' text (trimmed, left), 'N' number (numeric value, right), 'M' amount in cents
//   (shown with two decimals, right), 'D' date "yyMMdd" or stamp "yyMMddhhmmss" (left).
// A column whose header text is "0" is loaded but hidden (keys such as the NSU).
struct JournalColumn {
    QString header;
    QChar type = QLatin1Char('A');

    static JournalColumn hidden(QChar type) { return {QStringLiteral("0"), type}; }
    bool isHidden() const { return header == QLatin1String("0"); }
};

// A whole journal: the title shown as the screen's subtitle, the columns and one value list
// per row. Row values are the raw cell values in column order, as they go after the type
// letter: text, digits, cents, "yyMMdd" or "yyMMddhhmmss" (use the journal* helpers below).
// A row may be shorter than the column list (missing cells are empty); an empty value is
// written as an empty text cell so that it reads back empty whatever the column type.
struct JournalTable {
    QString title;
    QVector<JournalColumn> columns;
    QVector<QStringList> rows;
};

// Raw cell values in the form the journal's type letters expect.
QString journalDate(const QDate& date);        // "yyMMdd"
QString journalStamp(const QDateTime& stamp);  // "yyMMddhhmmss"
QString journalCents(qint64 cents);            // "12345", "-150"
QString journalNumber(qint64 number);          // "42"

// Makes free text safe for a journal line: line breaks and commas become blanks and double
// quotes become apostrophes (the journal reader takes a line as one comma-delimited item, so
// it has no way to carry any of them).
QString journalSafeText(const QString& text);

// The journal's lines, without terminators, exactly as the file check will read them; no line
// holds a comma or a double quote. Fails (false, *error set) for a table with no columns, a
// bad type letter, a row with more cells than columns, or a title, header or value holding a
// line break, a comma or a double quote.
bool journalLines(const JournalTable& table, QStringList* lines, QString* error = nullptr);

// Writes the journal into `dir` under baseName + its two checksum characters (baseName is
// e.g. "TP00000123.S" or "TS00000123-000045.S"). The file is Windows-1252, CR LF, replaced
// atomically; afterwards every other file of the same pattern (baseName + "??", names
// compared case-insensitively) is removed, so readers find exactly one. Refuses, leaving the
// directory untouched, a table journalLines() refuses and a journal too large for the 32-bit
// checksum sum (it could never pass its own check). `writtenPath` receives the full path.
bool writeJournal(const QString& dir, const QString& baseName, const JournalTable& table,
                  QString* error = nullptr, QString* writtenPath = nullptr);

// File bytes of a journal (lines joined with CR LF, the last one terminated too) without any
// size check or name; for seeds and benchmarks that bypass the checksum.
QByteArray journalBody(const QStringList& lines);

}  // namespace ql
