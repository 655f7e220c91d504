#pragma once

#include <QString>

#include <optional>

namespace ql {

// Numbers as the host transactions and the grids hold them: texts in the pt-BR form (comma
// decimal separator), whatever the machine's locale.

// Value of the leading number of a text, as a response code or a count is read: blanks are
// skipped, an optional sign and the digits that follow are taken, the rest is ignored; a text
// without digits is 0.
qint64 valorInteiro(const QString& texto);

// The text as a decimal number: "12,50", "12.50", "1.250,00", " 3 " are read; an empty or
// non-numeric text gives nothing.
std::optional<double> lerDecimal(const QString& texto);
// Two tests of a text that look alike and are not:
// - ehNumerico, the plain numeric test: the text reads as a number (lerDecimal), so blanks
//   around it, a sign, decimal and thousands separators and an exponent pass ("1E5", " 12,5");
//   an empty text is not numeric. Fields whose rule says "numeric" use it.
// - SoDigitos, digits only: not empty and nothing but the digits 0-9 ("1E5" and "12.5" fail).
//   The card number typed under a "N" rule uses it.
inline bool ehNumerico(const QString& texto) {
    return lerDecimal(texto).has_value();
}
bool SoDigitos(const QString& texto);

// The size of a whole number, without the overflow of negating the smallest one.
quint64 magnitude(qint64 valor);

// Whole number padded with zeros to the given number of digits ("000" pattern); a negative
// number keeps its sign in front ("-005").
QString formataZeros(qint64 valor, int digitos);

// An amount as whole cents, rounded; nothing when it is not finite or its cents do not fit in
// 64 bits (the amounts of a bounded answer never come near).
std::optional<qint64> centavosDe(double valor);

// Decimal text with two decimals and a comma ("0.00" pattern in pt-BR): 12.5 -> "12,50". An
// amount whose cents do not fit in 64 bits is written from its floating value; one that is
// not finite as "0,00".
QString formataValor(double valor);
// Cents (as text digits from the host) as a decimal amount: "0001250" -> "12,50"; a text
// that is not a number reads as 0.
QString centavosParaValor(const QString& centavos);
// A decimal amount text in cents, padded with zeros: "12,5" with 7 digits -> "0001250". An
// empty or non-numeric text counts as 0.
QString valorParaCentavos(const QString& valor, int digitos);

// A code held as digits, padded on the left with zeros to the given width, as the host
// compares product codes and references ("0000000000000" pattern); a text that is not a
// whole number is returned trimmed and unchanged.
QString formataCodigo(const QString& codigo, int digitos);

}  // namespace ql
