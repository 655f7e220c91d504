#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "printer/impressora_recibo.h"

class QTableView;

namespace ql {

struct Context;

// Printing goes to the printer the PRINTER setting names: a system printer by name, "" for the
// system's default printer, or "pdf:DIRECTORY" to write each print job as a PDF file in that
// directory (name: <documento>-yyyyMMdd-hhmmss-zzz.pdf, from the context's clock). Failures
// return false with a clear reason in `erro`; nothing is shown here.

// Prints text lines, one printer line each, in the given fixed-pitch font (the receipt uses
// "Courier New", 8 points, not bold), portrait, breaking pages as needed.
bool ImprimeLinhas(Context& ctx, const QStringList& linhas, const QString& documento,
                   QString* erro = nullptr, const QString& fonte = QStringLiteral("Courier New"),
                   int tamanhoFonte = 8);

// The receipt printer: RECEIPT_PRINTER (PRINTER when it is not set). An "escpos:" printer
// takes raw ESC/POS; a system printer or "pdf:DIRECTORY" prints the lines in "Courier New" 8.
// Each job holds RECEIPT_COPIES copies (cut apart on ESC/POS, a page each otherwise).
std::unique_ptr<ImpressoraRecibo> ObtemImpressoraRecibo(Context& ctx);

// "Reimprimir comprovante": the last approved sale's receipt from the terminal store, under a
// first line "2a VIA", on the receipt printer (RECEIPT_COPIES copies). Tells the cashier when
// there is none or the printer failed.
void ReimprimeComprovante(Context& ctx);

// Prints a whole grid as it stands in its view: the title on top of every page, then the
// header and every row of the visible columns, landscape, breaking pages as needed.
bool ImprimeGrade(Context& ctx, const QTableView& grade, const QString& titulo,
                  const QString& documento, QString* erro = nullptr);

// The file the last job went to when printing to PDF ("" otherwise); tests read it.
QString UltimoArquivoImpresso(const Context& ctx);

}  // namespace ql
