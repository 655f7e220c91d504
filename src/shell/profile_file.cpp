#include "shell/profile_file.h"

#include "shell/text_files.h"

namespace ql {
namespace {

bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\r' || u == u'\n' || u == u'\v' || u == u'\f';
}

// [from, to) of text without the blanks at either end.
void trimRange(const QString& text, qsizetype& from, qsizetype& to) {
    while (from < to && isBlank(text.at(from))) ++from;
    while (to > from && isBlank(text.at(to - 1))) --to;
}

QString unquoted(QString value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first) {
            return value.mid(1, value.size() - 2);
        }
    }
    return value;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString& s) {
    return s.contains(u'\n') || s.contains(u'\r');
}

// The file's text with one character per byte, so that positions in the text are positions in
// the bytes (Windows-1252 is a single-byte code).
QString singleByteText(const QByteArray& bytes) {
    QString text = fromCp1252(bytes);
    if (text.size() != bytes.size()) text = QString::fromLatin1(bytes);
    return text;
}

}  // namespace

ProfileFile::ProfileFile(QByteArray bytes) : bytes_(std::move(bytes)) {
    parse();
}

ProfileFile ProfileFile::load(const QString& path) {
    std::optional<QByteArray> bytes = readWholeFile(path);
    return ProfileFile(bytes.value_or(QByteArray()));
}

void ProfileFile::parse() {
    lines_.clear();
    const QString text = singleByteText(bytes_);
    const qsizetype size = text.size();
    qsizetype pos = 0;
    while (pos < size) {
        Line line;
        line.begin = pos;
        qsizetype nl = text.indexOf(u'\n', pos);
        line.end = nl < 0 ? size : nl + 1;
        line.contentEnd = nl < 0 ? size : nl;
        if (line.contentEnd > line.begin && text.at(line.contentEnd - 1) == u'\r') {
            --line.contentEnd;
        }
        pos = line.end;

        qsizetype from = line.begin;
        qsizetype to = line.contentEnd;
        trimRange(text, from, to);
        if (from == to) {
            lines_.push_back(std::move(line));
            continue;
        }
        const QChar first = text.at(from);
        if (first == u'[') {
            const qsizetype close = text.indexOf(u']', from + 1);
            if (close >= 0 && close < to) {
                qsizetype nameFrom = from + 1;
                qsizetype nameTo = close;
                trimRange(text, nameFrom, nameTo);
                line.kind = Kind::Section;
                line.name = text.mid(nameFrom, nameTo - nameFrom);
            }
        } else if (first != u';') {
            const qsizetype eq = text.indexOf(u'=', from);
            if (eq >= 0 && eq < to) {
                qsizetype keyFrom = from;
                qsizetype keyTo = eq;
                trimRange(text, keyFrom, keyTo);
                if (keyTo > keyFrom) {
                    qsizetype valueFrom = eq + 1;
                    qsizetype valueTo = to;
                    trimRange(text, valueFrom, valueTo);
                    line.kind = Kind::Key;
                    line.name = text.mid(keyFrom, keyTo - keyFrom);
                    line.keyEnd = keyTo;
                    line.value = unquoted(text.mid(valueFrom, valueTo - valueFrom));
                }
            }
        }
        lines_.push_back(std::move(line));
    }
}

qsizetype ProfileFile::findSection(const QString& name) const {
    const QString wanted = name.trimmed();
    for (qsizetype i = 0; i < qsizetype(lines_.size()); ++i) {
        if (lines_[i].kind == Kind::Section && sameName(lines_[i].name, wanted)) return i;
    }
    return -1;
}

std::optional<QString> ProfileFile::find(const QString& section, const QString& key) const {
    const qsizetype header = findSection(section);
    if (header < 0) return std::nullopt;
    const QString wanted = key.trimmed();
    for (qsizetype i = header + 1; i < qsizetype(lines_.size()); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Section) break;
        if (line.kind == Kind::Key && sameName(line.name, wanted)) return line.value;
    }
    return std::nullopt;
}

QByteArray ProfileFile::lineEnd() const {
    const qsizetype nl = bytes_.indexOf('\n');
    if (nl > 0 && bytes_.at(nl - 1) == '\r') return QByteArrayLiteral("\r\n");
    if (nl >= 0) return QByteArrayLiteral("\n");
    return QByteArrayLiteral("\r\n");
}

bool ProfileFile::setValue(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (sectionName.isEmpty() || keyName.isEmpty()) return false;
    if (hasLineBreak(sectionName) || hasLineBreak(keyName) || hasLineBreak(value)) return false;
    if (sectionName.contains(u']') || keyName.contains(u'=')) return false;
    if (keyName.startsWith(u';') || keyName.startsWith(u'[')) return false;

    const QByteArray eol = lineEnd();
    const qsizetype header = findSection(sectionName);
    QByteArray out;
    if (header < 0) {
        out = bytes_;
        if (!out.isEmpty() && !out.endsWith('\n')) out += eol;
        out += '[' + toCp1252(sectionName) + ']' + eol;
        out += toCp1252(keyName) + '=' + toCp1252(value) + eol;
    } else {
        // The key's own line when it is there; otherwise after the last non-blank line of
        // the section, so that blank lines before the next header stay where they are.
        qsizetype keyLine = -1;
        qsizetype lastFilled = header;
        for (qsizetype i = header + 1; i < qsizetype(lines_.size()); ++i) {
            const Line& line = lines_[i];
            if (line.kind == Kind::Section) break;
            if (line.kind == Kind::Key && sameName(line.name, keyName)) {
                keyLine = i;
                break;
            }
            if (line.contentEnd > line.begin &&
                !QByteArray(bytes_.constData() + line.begin, line.contentEnd - line.begin)
                     .trimmed()
                     .isEmpty()) {
                lastFilled = i;
            }
        }
        if (keyLine >= 0) {
            // Keeps the key as it is spelt in the file and replaces everything after it.
            const Line& line = lines_[keyLine];
            out = bytes_.left(line.keyEnd) + '=' + toCp1252(value) + bytes_.mid(line.contentEnd);
        } else {
            const Line& after = lines_[lastFilled];
            out = bytes_.left(after.end);
            // The file's last line may have no line end of its own.
            if (after.end == 0 || bytes_.at(after.end - 1) != '\n') out += eol;
            out += toCp1252(keyName) + '=' + toCp1252(value) + eol;
            out += bytes_.mid(after.end);
        }
    }
    bytes_ = std::move(out);
    parse();
    return true;
}

bool readProfileString(const ProfileFile& file, const QString& section, const QString& key,
                       const QString& defaultValue, QString& value) {
    std::optional<QString> found = file.find(section, key);
    if (found && !found->isEmpty()) {
        value = *found;
    } else {
        value = defaultValue;
        qsizetype end = value.size();
        while (end > 0 && isBlank(value.at(end - 1))) --end;
        value.truncate(end);
    }
    value.truncate(kProfileValueMax);
    return !value.isEmpty();
}

}  // namespace ql
