#include "shell/ini_access.h"

#include <QDir>
#include <QFileInfo>

#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/profile_file.h"
#include "shell/text_files.h"

namespace ql {
namespace {

// The existing file of that name in its directory, letter case aside; the path itself when
// there is none (or more than one that differ only in case, where the exact name is kept).
QString existingVariant(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) return path;
    const QDir dir = info.dir();
    if (!dir.exists()) return path;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    QString match;
    for (const QString& name : names) {
        if (name.compare(info.fileName(), Qt::CaseInsensitive) != 0) continue;
        if (!match.isEmpty()) return path;
        match = name;
    }
    return match.isEmpty() ? path : dir.filePath(match);
}

bool isBareName(const QString& file) {
    return !file.contains(u'/') && !file.contains(u'\\');
}

}  // namespace

QString DiretorioWindows(const Context& ctx) {
    if (!ctx.programDir.isEmpty()) {
        const QString inProgramDir =
            existingVariant(joinPath(ctx.programDir, QString::fromLatin1(kWinQlnCoreIni)));
        if (QFileInfo(inProgramDir).isFile()) return nativePath(ctx.programDir);
    }
    return ctx.systemSettingsDir;
}

QString CaminhoArquivoIni(const Context& ctx, const QString& arquivo) {
    const QString path =
        isBareName(arquivo) ? joinPath(DiretorioWindows(ctx), arquivo) : nativePath(arquivo);
    return existingVariant(path);
}

QString CaminhoQlnClientIni(const Context& ctx) {
    return joinPath(ctx.config.PathServer, QString::fromLatin1(kQlnClientIni));
}

QString CaminhoCoreIniServer(const Context& ctx) {
    return joinPath(ctx.config.PathServer, QString::fromLatin1(kCoreIni));
}

QString CaminhoCoreIniCore(const Context& ctx) {
    return joinPath(ctx.config.PathCORE, QString::fromLatin1(kCoreIni));
}

bool LeLinhaArquivoIni(Context& ctx, const QString& secao, const QString& chave,
                       const QString& padrao, QString& valor, const QString& arquivo) {
    valor.clear();
    return runTrapped(ctx, "LeLinhaArquivoIni", false, [&] {
        const ProfileFile file = ProfileFile::load(CaminhoArquivoIni(ctx, arquivo));
        return readProfileString(file, secao, chave, padrao, valor);
    });
}

bool GravaLinhaArquivoIni(Context& ctx, const QString& secao, const QString& chave,
                          const QString& valor, const QString& arquivo) {
    return runTrapped(ctx, "GravaLinhaArquivoIni", false, [&] {
        const QString path = CaminhoArquivoIni(ctx, arquivo);
        QByteArray current;
        if (QFileInfo::exists(path)) {
            // A file that is there but cannot be read is never replaced by a fresh one.
            std::optional<QByteArray> bytes = readWholeFile(path);
            if (!bytes) return false;
            current = std::move(*bytes);
        }
        ProfileFile file(std::move(current));
        if (!file.setValue(secao, chave, valor)) return false;
        return writeFileAtomically(path, file.bytes());
    });
}

}  // namespace ql
