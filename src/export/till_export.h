#pragma once

#include <QByteArray>
#include <QString>

namespace ql {

struct Context;

// The till export: after an approved sale the system leaves, for the store's till software,
// one text file describing the sale in fixed-width records (Windows-1252, CR LF):
// R1..R9 (58 characters: header, totals, transaction number, constants, the two extra
// identification fields), then one RA record per item (78 characters: quantity, prices,
// discount, line total, product code) and one RB record per item (product code).

// True when the settings ask for the export: LayoutArquivo is 1 and FILEAUX names an
// existing directory.
bool ExportacaoConfigurada(const Context& ctx);

// FILEAUX + the transaction number NsuTransacao as a number (leading zeros dropped) + ".TRC".
QString CaminhoArquivoExportacao(const Context& ctx);

// The whole export for the item list, NsuTransacao, ValorCampo1/ValorCampo2 and the clock of
// `ctx`. False when an item field is not a number (erro 13) or a quantity is out of range
// (erro 6); `erro` and `descricao` then say why.
bool MontaArquivoExportacao(const Context& ctx, QByteArray* bytes, int* erro, QString* descricao);

// Writes the export to `arquivo`, replacing any file of that name. The records go to a
// temporary file beside it that is renamed into place only when complete, so the till never
// reads half a sale. On failure shows "Erro na função GerarArquivo : " + number + " - " +
// description (critical icon, title "Atenção") and returns false.
bool GerarArquivo(Context& ctx, const QString& arquivo);

}  // namespace ql
