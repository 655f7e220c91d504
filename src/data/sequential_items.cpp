#include "data/sequential_items.h"

#include <utility>

#include "shell/text_files.h"

namespace ql {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kQuote = '"';
constexpr char kComma = ',';

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

SequentialItems::SequentialItems(QByteArray bytes)
    : bytes_(std::move(bytes)),
      text_(fromCp1252(bytes_)),
      oneToOne_(text_.size() == bytes_.size()) {}

QString SequentialItems::piece(qsizetype start, qsizetype length) const {
    return oneToOne_ ? text_.mid(start, length) : fromCp1252(bytes_.mid(start, length));
}

void SequentialItems::skipLineEnd() {
    if (pos_ < bytes_.size() && bytes_.at(pos_) == kCr) {
        ++pos_;
        if (pos_ < bytes_.size() && bytes_.at(pos_) == kLf) ++pos_;
    }
}

QString SequentialItems::next() {
    const qsizetype size = bytes_.size();
    while (pos_ < size && isBlank(bytes_.at(pos_))) ++pos_;
    if (pos_ >= size) return QString();

    if (bytes_.at(pos_) == kQuote) {
        ++pos_;
        const qsizetype start = pos_;
        while (pos_ < size && bytes_.at(pos_) != kQuote && bytes_.at(pos_) != kCr) ++pos_;
        const QString item = piece(start, pos_ - start);
        if (pos_ < size && bytes_.at(pos_) == kQuote) ++pos_;
        // Whatever follows the closing quote belongs to no item.
        while (pos_ < size && bytes_.at(pos_) != kComma && bytes_.at(pos_) != kCr) ++pos_;
        if (pos_ < size && bytes_.at(pos_) == kComma)
            ++pos_;
        else
            skipLineEnd();
        return item;
    }

    const qsizetype start = pos_;
    while (pos_ < size && bytes_.at(pos_) != kComma && bytes_.at(pos_) != kCr) ++pos_;
    qsizetype end = pos_;
    while (end > start && isBlank(bytes_.at(end - 1))) --end;
    if (pos_ < size && bytes_.at(pos_) == kComma)
        ++pos_;
    else
        skipLineEnd();
    return piece(start, end - start);
}

QString SequentialItems::nextLine() {
    const qsizetype size = bytes_.size();
    const qsizetype start = pos_;
    while (pos_ < size && bytes_.at(pos_) != kCr) ++pos_;
    const QString line = piece(start, pos_ - start);
    skipLineEnd();
    return line;
}

QString semQuebraInicial(const QString& item) {
    qsizetype i = 0;
    while (i < item.size() && item.at(i) == QLatin1Char('\n')) ++i;
    return item.mid(i);
}

QString aparaBrancos(const QString& texto) {
    qsizetype start = 0;
    qsizetype end = texto.size();
    while (start < end && texto.at(start) == QLatin1Char(' ')) ++start;
    while (end > start && texto.at(end - 1) == QLatin1Char(' ')) --end;
    return texto.mid(start, end - start);
}

}  // namespace ql
