#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace ql {

struct Context;

// The local data files are small (a users record, a few dozen permission groups, a line per
// operadora); anything beyond this size is damaged and is refused without being read.
inline constexpr qint64 kMaxBytesArquivoDados = 4 * 1024 * 1024;

// Full path of the first file in the data folder (Path Server) matching a pattern such as
// "UP.S??", names compared case-insensitively; "" when none.
QString LocalizaArquivoDados(const Context& ctx, const QString& padrao);

// Every file in the data folder matching the pattern, in name order (full paths).
QStringList LocalizaArquivosDados(const Context& ctx, const QString& padrao);

// True when the file is larger than any real data file can be.
bool ArquivoGrandeDemais(const QString& caminho);

// Reads a checksummed data file that has been found: nullopt when it is too large, fails its
// checksum or cannot be read (the caller shows its own "corrompido" message).
std::optional<QByteArray> LeArquivoVerificado(Context& ctx, const QString& caminho);

// Writes a checksummed data file: the lines, each followed by CR LF (Windows-1252), under
// `prefixo` + the two checksum characters (for example "MF.S" gives MF.S3C) in `pasta`,
// replacing a file of that name atomically. Returns the full path, or "" with `erro` set.
QString GravaArquivoComChecksum(const QString& pasta, const QString& prefixo,
                                const QStringList& linhas, QString* erro = nullptr);

// The data folder as the messages name it.
QString PastaDados(const Context& ctx);

// Texts of the run-time errors the data readers report through the common error routine.
QString ErroIndiceInvalido();
QString ErroLeituraAposFim();
QString ErroEstouro();
QString ErroAcessoArquivo(const QString& caminho);

}  // namespace ql
