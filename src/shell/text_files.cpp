#include "shell/text_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <vector>

namespace ql {

namespace {

constexpr QFileDevice::Permissions kArquivoPrivado =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Marks a code point that does not become exactly one byte (Qt's codec drops a few, such as
// U+FEFF, and a surrogate half never stands alone).
constexpr quint16 kSemByteUnico = 0xFFFF;

// What Qt's Windows-1252 codec gives for every byte and for every code point of the basic
// plane, worked out once: the conversions then cost a table look-up per character instead of
// a codec set up per call. Built on first use and never written again.
struct TabelaCp1252 {
    bool valida = false;
    std::vector<quint16> bytes;  // by code point: the byte, or kSemByteUnico
    std::array<char16_t, 256> caracteres{};
};

const TabelaCp1252& tabelaCp1252() {
    static const TabelaCp1252 tabela = [] {
        TabelaCp1252 t;
        QStringEncoder encoder("windows-1252", QStringConverter::Flag::Default);
        QStringDecoder decoder("windows-1252");
        if (!encoder.isValid() || !decoder.isValid()) return t;
        QByteArray todos(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i) todos[i] = char(i);
        const QString decodificados = decoder.decode(todos);
        if (decodificados.size() != 256) return t;
        for (int i = 0; i < 256; ++i) t.caracteres[i] = decodificados[i].unicode();
        t.bytes.assign(0x10000, kSemByteUnico);
        // A block of 256 code points at a time; a block whose bytes do not line up one for
        // one with its characters is converted one character at a time.
        QString bloco(256, Qt::Uninitialized);
        for (int inicio = 0; inicio < 0x10000; inicio += 256) {
            if (inicio >= 0xD800 && inicio < 0xE000) continue;  // surrogate halves
            for (int k = 0; k < 256; ++k) bloco[k] = QChar(char16_t(inicio + k));
            const QByteArray saida = encoder.encode(bloco);
            if (saida.size() == 256) {
                for (int k = 0; k < 256; ++k) t.bytes[inicio + k] = quint8(saida[k]);
                continue;
            }
            for (int k = 0; k < 256; ++k) {
                const QByteArray um = encoder.encode(QStringView(bloco).mid(k, 1));
                if (um.size() == 1) t.bytes[inicio + k] = quint8(um[0]);
            }
        }
        t.valida = true;
        return t;
    }();
    return tabela;
}

QByteArray toCp1252PeloCodec(const QString& text) {
    QStringEncoder encoder("windows-1252", QStringConverter::Flag::Default);
    if (!encoder.isValid()) return text.toLatin1();
    return encoder.encode(text);
}

}  // namespace

QString fromCp1252(const QByteArray& bytes) {
    const TabelaCp1252& t = tabelaCp1252();
    if (!t.valida) {
        QStringDecoder decoder("windows-1252");
        if (!decoder.isValid()) return QString::fromLatin1(bytes);
        return decoder.decode(bytes);
    }
    QString texto(bytes.size(), Qt::Uninitialized);
    QChar* saida = texto.data();
    for (const char c : bytes) *saida++ = QChar(t.caracteres[quint8(c)]);
    return texto;
}

QByteArray toCp1252(const QString& text) {
    const TabelaCp1252& t = tabelaCp1252();
    if (!t.valida) return toCp1252PeloCodec(text);
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* saida = bytes.data();
    for (const QChar c : text) {
        const quint16 b = t.bytes[c.unicode()];
        // Surrogate pairs and the characters the codec drops: its own way, as rare as they are.
        if (b == kSemByteUnico) return toCp1252PeloCodec(text);
        *saida++ = char(b);
    }
    return bytes;
}

std::optional<QByteArray> readWholeFile(const QString& path) {
    QFile file(nativePath(path));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return file.readAll();
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* errorText,
                         FileAccess access) {
    // QSaveFile writes a temporary file in the same directory, flushes it (fsync) on commit
    // and renames it over the target.
    QSaveFile file(nativePath(path));
    if (!file.open(QIODevice::WriteOnly)) {
        if (errorText) *errorText = file.errorString();
        return false;
    }
    // On the temporary file, before anything is in it; QSaveFile would otherwise give it the
    // mode of the file it replaces.
    if (access == FileAccess::Private && !file.setPermissions(kArquivoPrivado)) {
        if (errorText) *errorText = file.errorString();
        file.cancelWriting();
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

bool makeFilePrivate(const QString& path) {
    return QFile::setPermissions(nativePath(path), kArquivoPrivado);
}

bool makePrivateDir(const QString& path) {
    const QString p = nativePath(path);
    if (QFileInfo(p).isDir()) return true;
    return QDir().mkpath(p) &&
           QFile::setPermissions(
               p, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
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
