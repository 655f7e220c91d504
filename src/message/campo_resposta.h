#pragma once

#include <QString>
#include <QStringView>

namespace ql {

struct Context;
class DescricaoIso;

// Text element 60 of an ISO answer holds when the host could not read the request; every
// field of such an answer reads as "".
inline constexpr char kErroFormatacao[] = "Erro de formatacao na mensagem";

// Characters of one receipt line in element 61, and of one receipt line inside element 63.
inline constexpr int kTamanhoLinhaRecibo = 38;
inline constexpr int kTamanhoLinhaReciboProdutos = 40;

// Field of a text-form answer: first occurrence of the tag (case-sensitive), the value running
// from 8 characters after it to just before the first ";" at or after it. "" when the tag is
// absent. A tag found with no ";" after it (or with the ";" inside the tag), and an amount or a
// quantity of the product records wider than the ISO layout gives it (905 over 3 characters,
// 909 over 5, 910 to 912 over 7, blanks trimmed), give "" and set *malformado.
QString textField(QStringView resposta, QStringView tag, bool* malformado = nullptr);

// The answer in the message buffer as the ISO readers take it: blanks trimmed at both ends,
// the four-digit frame length dropped.
QString answerWithoutFrame(const QString& buffer);

// Field of an ISO answer given without its frame (hexadecimal bitmap). Element 63 is cut into
// product records by the layout the answer's key (message type + processing code) selects,
// skipping receiptLines × 40 characters of receipt text where that layout has them; element
// 61 into 38-character receipt lines; element 60 into 900, 901 and 028. Reading 028 stores its
// numeric value in receiptLines. Any other field reads as its whole element.
QString isoField(QStringView resposta, QStringView tag, int& receiptLines);
QString isoField(QStringView resposta, QStringView tag, int& receiptLines, const DescricaoIso& d);

// GetCampo (tag): field of the host's answer in ctx.bufferMensagem, in the form ctx.config.bMsgIso
// says. A malformed text field (see textField) is reported under "GetCampo" and reads "".
// Reading 028-000 from an ISO answer sets ctx.qtdLinhasRecibo.
QString GetCampo(Context& ctx, const QString& tag);

}  // namespace ql
