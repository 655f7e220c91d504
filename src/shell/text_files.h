#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace ql {

// Files and the wire are Windows-1252; QString inside.
QString fromCp1252(const QByteArray& bytes);
// Characters that Windows-1252 cannot hold become what Qt's codec makes of them (the
// substitute byte 0x1A; a few, such as U+FEFF, are dropped).
QByteArray toCp1252(const QString& text);

// Whole contents of a file, or nothing when it cannot be opened.
std::optional<QByteArray> readWholeFile(const QString& path);

// Replaces (or creates) a file so that a reader sees either the old contents or the new
// ones, never a mix: the bytes go to a temporary file beside it, are flushed to disk, and
// the temporary file is renamed over the target. Returns false (target untouched) on any
// failure; errorText, when given, receives the reason.
bool writeFileAtomically(const QString& path, const QByteArray& bytes,
                         QString* errorText = nullptr);

// Accepts "\" and "/" as separators and gives a path for this system; letter case is kept.
QString nativePath(const QString& path);
// Joins a directory from the settings and a file name (either may carry "\" or "/").
QString joinPath(const QString& dir, const QString& name);

}  // namespace ql
