#pragma once

#include <QString>

namespace ql {

struct Context;

// The three settings files.
inline constexpr const char* kWinQlnCoreIni = "WINQLNCORE.ini";  // section "CORE"
inline constexpr const char* kQlnClientIni = "QlnClient.ini";    // in Path Server
inline constexpr const char* kCoreIni = "CORE.ini";              // in Path Server and Path CORE

// Directory that holds WINQLNCORE.ini: the program's directory when the file is there,
// otherwise ctx.systemSettingsDir (/etc/quillane/). Nothing is taken from the environment or
// the command line.
QString DiretorioWindows(const Context& ctx);

// Path of a settings file: a bare file name lives in DiretorioWindows; a name with a directory
// ("\" or "/" separators) is used as it is. When the exact name is not there but the directory
// holds the same name in another letter case (a file copied from a Windows store), that file
// is used.
QString CaminhoArquivoIni(const Context& ctx, const QString& arquivo);

// QlnClient.ini and CORE.ini in Path Server, CORE.ini in Path CORE.
QString CaminhoQlnClientIni(const Context& ctx);
QString CaminhoCoreIniServer(const Context& ctx);
QString CaminhoCoreIniCore(const Context& ctx);

// Reads section/key of a settings file into valor: the key's trimmed value, or padrao (trailing
// blanks dropped) when the key is missing or empty, cut to 1023 characters. Returns false when
// that gives no characters (key missing or empty and padrao empty); valor is then "". A read
// with a non-empty default never fails. A missing file reads as an empty one.
bool LeLinhaArquivoIni(Context& ctx, const QString& secao, const QString& chave,
                       const QString& padrao, QString& valor, const QString& arquivo);

// Writes section/key = valor into a settings file, changing only that key's line (adding the
// section or key when missing) and replacing the file atomically. Returns false, leaving the
// file as it was, when it cannot be read or written or the value holds a line break.
bool GravaLinhaArquivoIni(Context& ctx, const QString& secao, const QString& chave,
                          const QString& valor, const QString& arquivo);

}  // namespace ql
