#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace ql {

// The ESC/POS commands a receipt uses, and the turning of receipt lines into the bytes a
// thermal printer takes. Knows no devices: the transports are in impressora_recibo.cpp.
namespace escpos {

inline constexpr char kInicializa[] = "\x1b\x40";        // ESC @
inline constexpr char kTabelaCaracteres[] = "\x1b\x74";  // ESC t n
inline constexpr char kAvancaLinhas[] = "\x1b\x64";      // ESC d n: print and feed n lines
inline constexpr char kAvancaECortaParcial[] =
    "\x1d\x56";  // GS V 66 n: feed to the cutter, partial cut
inline constexpr char kModoCorteParcialComAvanco = 66;
inline constexpr char kConsultaPapel[] = "\x10\x04\x04";  // DLE EOT 4: paper roll sensor status

// Blank lines fed after the text, so that its last line clears the print head.
inline constexpr int kLinhasAvanco = 4;

// A character table of the printer and the encoder that writes it. PC860 (Portuguese) holds
// every Portuguese letter; PC850 (multilingual) too; PC437 is the printers' factory table and
// only serves when neither of the others can be encoded here.
struct CodePage {
    int numero = 0;    // n of ESC t n
    const char* nome;  // the name the text encoder knows it by
};
inline constexpr CodePage kPC437{0, "IBM437"};
inline constexpr CodePage kPC850{2, "IBM850"};
inline constexpr CodePage kPC860{3, "IBM860"};

// The table receipts are written in: PC860 through Qt's ICU encoder when it knows "IBM860",
// else PC850, else PC437 with the accents taken off the letters.
CodePage CodePageRecibo();

// Lines no wider than `colunas`: a longer line goes on in the next lines, cut every `colunas`
// characters, so that the columns of the receipt stay aligned and no character is lost.
QStringList QuebraLinhas(const QStringList& linhas, int colunas);

// One line in the code page, each character the page lacks written as its letter without the
// accent or, failing that, "?". Control characters become blanks, so that text sent by the
// host can never act as a printer command.
QByteArray CodificaLinha(const QString& linha, const CodePage& pagina);

// The whole job: initialise, select the code page, the lines (wrapped at `colunas`) each
// ended by LF, feed, partial cut.
QByteArray Recibo(const QStringList& linhas, int colunas, const CodePage& pagina);
QByteArray Recibo(const QStringList& linhas, int colunas);

// The answer to DLE EOT 4: true when the paper end sensor sees no paper, false when paper is
// present, nothing when the byte is not a status byte (its fixed bits do not match).
std::optional<bool> SemPapel(char status);

}  // namespace escpos
}  // namespace ql
