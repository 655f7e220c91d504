#include "admin/journal_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "data/checksum.h"
#include "shell/text_files.h"

namespace ql {

namespace {

bool isTypeLetter(QChar c) {
    return c == QLatin1Char('A') || c == QLatin1Char('N') || c == QLatin1Char('M') ||
           c == QLatin1Char('D');
}

// Empty when the text can go into a journal line; otherwise why not. The reader takes each
// line as one comma-delimited item, so a comma would cut the line and a double quote would be
// dropped: journal lines hold neither.
QString unwritableReason(const QString& text) {
    if (text.contains(QLatin1Char('"'))) return QStringLiteral("holds a double quote");
    if (text.contains(QLatin1Char(','))) return QStringLiteral("holds a comma");
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        return QStringLiteral("holds a line break");
    return QString();
}

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

}  // namespace

QString journalDate(const QDate& date) {
    return date.toString(QStringLiteral("yyMMdd"));
}

QString journalStamp(const QDateTime& stamp) {
    return stamp.toString(QStringLiteral("yyMMddHHmmss"));
}

QString journalCents(qint64 cents) {
    return QString::number(cents);
}

QString journalNumber(qint64 number) {
    return QString::number(number);
}

QString journalSafeText(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('"'), QLatin1Char('\''));
    t.replace(QLatin1Char(','), QLatin1Char(' '));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t;
}

bool journalLines(const JournalTable& table, QStringList* lines, QString* error) {
    if (table.columns.isEmpty()) {
        setError(error, QStringLiteral("journal has no columns"));
        return false;
    }
    QStringList out;
    const qsizetype ncols = table.columns.size();
    out.reserve(4 + (table.rows.size() + 1) * (ncols + 2));

    if (!table.title.isEmpty()) {
        const QString why = unwritableReason(table.title);
        if (!why.isEmpty()) {
            setError(error, QStringLiteral("journal title ") + why);
            return false;
        }
        // Title block: marker, the title behind one leading character, the closing empty line.
        out << QStringLiteral("000") << QLatin1Char('A') + table.title << QString();
    }

    // Header block: one text cell per column; "0" marks a hidden column.
    out << QStringLiteral("B0");
    for (qsizetype c = 0; c < ncols; ++c) {
        const JournalColumn& col = table.columns[c];
        if (!isTypeLetter(col.type)) {
            setError(error, QStringLiteral("column %1 has the type letter \"%2\" (A, N, M or D)")
                                .arg(c + 1)
                                .arg(col.type));
            return false;
        }
        const QString why = unwritableReason(col.header);
        if (!why.isEmpty()) {
            setError(error, QStringLiteral("header of column %1 %2").arg(c + 1).arg(why));
            return false;
        }
        out << QLatin1Char('A') + col.header;
    }
    out << QString();

    for (qsizetype r = 0; r < table.rows.size(); ++r) {
        const QStringList& row = table.rows[r];
        if (row.size() > ncols) {
            setError(error, QStringLiteral("row %1 has %2 cells for %3 columns")
                                .arg(r + 1)
                                .arg(row.size())
                                .arg(ncols));
            return false;
        }
        out << QStringLiteral("B%1").arg(r + 1);
        // Every column gets a cell line, so that no row is ever an empty block (which the
        // reader would skip); an empty value is an empty text cell.
        for (qsizetype c = 0; c < ncols; ++c) {
            const QString value = c < row.size() ? row[c] : QString();
            const QString why = unwritableReason(value);
            if (!why.isEmpty()) {
                setError(error,
                         QStringLiteral("row %1, column %2 %3").arg(r + 1).arg(c + 1).arg(why));
                return false;
            }
            if (value.trimmed().isEmpty())
                out << QStringLiteral("A");
            else
                out << table.columns[c].type + value;
        }
        out << QString();
    }
    *lines = std::move(out);
    return true;
}

QByteArray journalBody(const QStringList& lines) {
    QString text;
    qsizetype size = 0;
    for (const QString& l : lines) size += l.size() + 2;
    text.reserve(size);
    for (const QString& l : lines) {
        text += l;
        text += QLatin1String("\r\n");
    }
    return toCp1252(text);
}

bool writeJournal(const QString& dir, const QString& baseName, const JournalTable& table,
                  QString* error, QString* writtenPath) {
    static const QRegularExpression badName(QStringLiteral("[/\\\\?*\\[\\]]"));
    if (baseName.trimmed().isEmpty() || baseName.contains(badName)) {
        setError(error,
                 QStringLiteral("journal name \"%1\" is not a plain file name").arg(baseName));
        return false;
    }
    QStringList lines;
    if (!journalLines(table, &lines, error)) return false;

    const QByteArray body = journalBody(lines);
    if (fromCp1252(body) != lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")) {
        setError(error, QStringLiteral("journal holds characters outside Windows-1252"));
        return false;
    }

    // The checksum goes over the lines exactly as the file check splits the bytes.
    qint32 soma = 0, posicao = 1;
    if (!AcumulaCheckSumDoArquivo(body, soma, posicao)) {
        setError(error, QStringLiteral("journal of %1 bytes is too large for its checksum: "
                                       "the 32-bit sum overflows and the file could never "
                                       "pass its check")
                            .arg(body.size()));
        return false;
    }

    const QString name = baseName + TextoChecksum(soma);
    const QString path = joinPath(dir, name);
    QString why;
    if (!writeFileAtomically(path, body, &why, FileAccess::Shared)) {
        setError(error, QStringLiteral("cannot write %1: %2").arg(path, why));
        return false;
    }

    // Only now that the new file is in place, remove the earlier versions of this journal.
    QDir d(nativePath(dir));
    // Same journal: the base name (no wildcards in it) and any two checksum characters.
    auto sameJournal = [&](const QString& other) {
        return other.size() == baseName.size() + 2 &&
               other.startsWith(baseName, Qt::CaseInsensitive);
    };
    QStringList stale;
    for (const QString& other : d.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (other != name && sameJournal(other) && !d.remove(other)) stale << other;
    }
    if (writtenPath) *writtenPath = path;
    if (!stale.isEmpty()) {
        setError(error, QStringLiteral("written %1 but could not remove %2")
                            .arg(name, stale.join(QLatin1String(", "))));
        return false;
    }
    return true;
}

}  // namespace ql
