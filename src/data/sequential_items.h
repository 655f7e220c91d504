#pragma once

#include <QByteArray>
#include <QString>

namespace ql {

// Reads the comma-delimited items of a local data file the way the store's files have always
// been read, item by item or line by line:
// - blanks (spaces and tabs) in front of an item are skipped;
// - a comma or the end of a line ends an item; blanks at the end of an unquoted item are
//   dropped;
// - an item that starts with a double quote runs to the next double quote (commas inside it
//   are kept) and anything after the closing quote up to the comma or line end is ignored;
// - a line ends at CR or at CR LF; a line feed that does not follow a CR is an ordinary
//   character, so a file with doubled line ends (CR LF LF) hands the next item over with a
//   line feed in front of it;
// - an empty line reads as one empty item.
// The bytes are Windows-1252. Every call to next() or nextLine() before the end consumes at
// least one byte, so `while (!atEnd()) next();` always finishes, whatever the bytes are.
class SequentialItems {
  public:
    explicit SequentialItems(QByteArray bytes);

    bool atEnd() const { return pos_ >= bytes_.size(); }
    // The next item; "" at the end of the data.
    QString next();
    // The rest of the current line (from the current position to CR or CR LF, both dropped);
    // "" at the end of the data.
    QString nextLine();

  private:
    // Consumes a line terminator at the current position (CR, CR LF) if there is one.
    void skipLineEnd();
    // The text of bytes [start, start + length).
    QString piece(qsizetype start, qsizetype length) const;

    QByteArray bytes_;
    // The whole data decoded once; Windows-1252 gives one character per byte, so positions
    // in bytes_ are positions in text_ (checked, with a per-piece decoding as the fallback).
    QString text_;
    bool oneToOne_ = false;
    qsizetype pos_ = 0;
};

// Removes the line feeds a doubled line end leaves in front of an item.
QString semQuebraInicial(const QString& item);

// Trims spaces only (the blank-filled fields of the data files), leaving other characters.
QString aparaBrancos(const QString& texto);

}  // namespace ql
