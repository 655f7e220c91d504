#pragma once

#include <QString>

#include <optional>

namespace ql {

// The number a settings text starts with, read the way the settings have always been read:
// blanks anywhere are skipped, then an optional sign, digits and an optional "." with more
// digits; reading stops at the first other character. "30" -> 30, " 0 6" -> 6, "12ab" -> 12,
// "-4" -> -4, "abc" or "" -> 0.
double leadingNumber(const QString& text);

// A number rounded to the nearest whole number (halves to the even one), or nothing when it
// does not fit the type: the 32-bit and 16-bit whole-number settings.
std::optional<qint32> toInt32(double value);
std::optional<qint16> toInt16(double value);

}  // namespace ql
