#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace ql {

// Longest value a profile read hands back (the rest is cut off), as the settings files have
// always been read through a 1024-byte buffer.
inline constexpr qsizetype kProfileValueMax = 1023;

// One profile (".ini") file held in memory as its own bytes (Windows-1252).
//
// Reading: "[section]" headers and "key=value" lines; sections and keys are matched without
// regard to letter case and the first match wins (the first section of that name, then the
// first key of that name inside it). Names and values are trimmed of blanks, and a value
// wholly enclosed in a pair of double or single quotes loses the quotes, so that a value can
// keep leading or trailing blanks. Lines starting with ";" are comments; lines that are
// neither a header nor a key line are ignored, as are keys before the first header.
//
// Writing: setValue changes only the line of its key (or adds the key at the end of its
// section, or the section at the end of the file); every other byte of the file stays as it
// was. New lines take the file's own line end (CR LF for a file without one).
class ProfileFile {
  public:
    ProfileFile() = default;
    explicit ProfileFile(QByteArray bytes);

    // The file's contents; a file that is missing or cannot be read gives an empty profile.
    static ProfileFile load(const QString& path);

    // The trimmed value of section/key, or nothing when the key is not in the file.
    std::optional<QString> find(const QString& section, const QString& key) const;

    // Sets section/key to value. Returns false, changing nothing, when the names or the value
    // cannot be written as one profile line (line breaks, "]" in the section, "=" in the key,
    // an empty name).
    bool setValue(const QString& section, const QString& key, const QString& value);

    const QByteArray& bytes() const { return bytes_; }

  private:
    enum class Kind { Other, Section, Key };
    struct Line {
        qsizetype begin = 0;       // first byte of the line
        qsizetype contentEnd = 0;  // end of the text, before CR LF / LF
        qsizetype end = 0;         // first byte of the next line
        Kind kind = Kind::Other;
        QString name;          // section name or key, trimmed
        QString value;         // key value, trimmed and unquoted
        qsizetype keyEnd = 0;  // end of the key text (before blanks and "="), key lines only
    };

    void parse();
    // Index of the header line of the first section called name, or -1.
    qsizetype findSection(const QString& name) const;
    QByteArray lineEnd() const;

    QByteArray bytes_;
    std::vector<Line> lines_;
};

// A profile read as the settings code makes it: the value of section/key, or defaultValue
// (trailing blanks dropped) when the key is missing or its value is empty, cut to
// kProfileValueMax characters. Returns false, with value "", when that gives no characters.
bool readProfileString(const ProfileFile& file, const QString& section, const QString& key,
                       const QString& defaultValue, QString& value);

}  // namespace ql
