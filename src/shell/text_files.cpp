#include "shell/text_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace ql {

QString fromCp1252(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray toCp1252(const QString& text) {
    QStringEncoder encoder("windows-1252", QStringConverter::Flag::Default);
    if (!encoder.isValid()) return text.toLatin1();
    return encoder.encode(text);
}

std::optional<QByteArray> readWholeFile(const QString& path) {
    QFile file(nativePath(path));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* errorText) {
    // QSaveFile writes a temporary file in the same directory, flushes it (fsync) on commit
    // and renames it over the target.
    QSaveFile file(nativePath(path));
    if (!file.open(QIODevice::WriteOnly)) {
        if (errorText) *errorText = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (errorText) *errorText = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (errorText) *errorText = file.errorString();
        return false;
    }
    return true;
}

QString nativePath(const QString& path) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

QString joinPath(const QString& dir, const QString& name) {
    QString d = nativePath(dir);
    QString n = nativePath(name);
    while (n.startsWith(QLatin1Char('/'))) n.remove(0, 1);
    if (d.isEmpty()) return n;
    if (!d.endsWith(QLatin1Char('/'))) d += QLatin1Char('/');
    return d + n;
}

}  // namespace ql
