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

// Who may read a file the program writes. Private: the program's own account only (0600),
// whatever the umask and whatever mode an earlier file of that name had; the till's files
// hold document numbers, passwords and sales. Shared: the mode the umask gives, for files
// written for another program to read (the journals the simulated host leaves).
enum class FileAccess { Private, Shared };

// Replaces (or creates) a file so that a reader sees either the old contents or the new
// ones, never a mix: the bytes go to a temporary file beside it, are flushed to disk, and
// the temporary file is renamed over the target. Returns false (target untouched) on any
// failure; errorText, when given, receives the reason.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* errorText = nullptr,
                         FileAccess access = FileAccess::Private);

// Makes a file the program keeps private (0600); false when it cannot.
bool makeFilePrivate(const QString& path);
// Creates a folder for the program's own files, with its parents; the folder itself, when
// created here, is private (0700). True when the folder exists afterwards.
bool makePrivateDir(const QString& path);

// Accepts "\" and "/" as separators and gives a path for this system; letter case is kept.
QString nativePath(const QString& path);
// Joins a directory from the settings and a file name (either may carry "\" or "/").
QString joinPath(const QString& dir, const QString& name);

}  // namespace ql
