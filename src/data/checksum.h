#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ql {

struct Context;

// Scrambles ("C") or unscrambles ("D") a password in place; any other mode leaves the text
// unchanged. On a code that would leave 0..255 the error routine reports it under
// "CriptografiaSenha" and the text is left as it was.
void CriptografiaSenha(Context& ctx, QString& texto, const QString& modo);

// Keyed variant: with key 0 the text comes back unchanged (the store's files are plain).
QString GeraCriptografia(Context& ctx, const QString& texto, const QString& modo, qint16 chave);

// Adds one line (without its terminator; characters as Windows-1252 codes) to the running
// sum. Returns false, leaving the sum partial, when the signed 32-bit sum would overflow.
bool AcumulaCheckSum(const QString& linha, qint32& soma, qint32& posicao);
bool AcumulaCheckSum(QByteArrayView linha, qint32& soma, qint32& posicao);

// Adds the lines of file bytes to the running sum as the file check reads them (see
// LinhasDoArquivo: the line terminators do not count), without splitting the bytes apart.
// Returns false, leaving the sum partial, when the signed 32-bit sum would overflow.
bool AcumulaCheckSumDoArquivo(QByteArrayView bytes, qint32& soma, qint32& posicao);

// Two upper-case hexadecimal digits of a sum ("00".."FE").
QString TextoChecksum(qint32 soma);

// Checksum of a sequence of lines as the file check computes it; *completo becomes false
// when the 32-bit sum overflowed (such a file can never pass its check).
QString ChecksumDeLinhas(const QStringList& linhas, bool* completo = nullptr);

// Splits file bytes into lines the way the file check reads them: CR or CR LF end a line; a
// line feed that does not follow a CR stays inside the line. A final line without a
// terminator still counts; an empty file has no lines.
QList<QByteArray> LinhasDoArquivo(const QByteArray& bytes);

// True when the file exists and its contents match the two checksum characters at the end
// of its name (compared exactly); the checksum is then stored in `checksum`.
bool Valida_Check_Sum_Arquivo(Context& ctx, const QString& arquivo, QString& checksum);

// Writes `conteudo` (one line) followed by CR LF under the name whose last two characters are
// its checksum, and removes the old file. The new file is complete and flushed before the
// old one goes, so a failure at any point leaves at least one file that passes its check.
// `arquivo` receives the new name.
bool SobreEscreveArquivo(Context& ctx, QString& arquivo, const QString& conteudo);

// Finds a file in `dir` by a pattern such as "UP.S??" ("?" = any one character), comparing
// names case-insensitively; the first match in name order, or "" when none.
QString ProcuraArquivo(const QString& dir, const QString& padrao);

}  // namespace ql
