#pragma once

#include <QString>

namespace ql {

struct Context;

// The support log: one file a day, "log/YYYY-MM-DD.log" under the Path CORE directory, for
// the people who look after the counter. Each line is stamped with the clock's date and time
// and written on its own (open, append, flush, close), so that a program that stops at any
// moment loses at most the line it was writing. Nothing written holds a card number in full
// or a track: every line goes through MascaraDadosCartao.

// Days a log file is kept.
inline constexpr int kDiasLog = 90;

// The log directory: "log" under Path CORE ("" when Path CORE is not known yet).
QString DiretorioLog(const Context& ctx);

// Appends one line to today's file. A line that cannot be written is dropped; the log never
// stops the counter.
void RegistraLog(const Context& ctx, const QString& texto);

// The text with every run of 13 or more digits (a card number) kept only in its first six and
// last four digits, and with whatever follows a card number as a track does (a "=" or "^"
// separator and the rest of the track) replaced by "=<trilha omitida>".
QString MascaraDadosCartao(const QString& texto);

// Start-up and shutdown lines: version and the settings files in use. The start-up line also
// removes the log files older than kDiasLog days.
void RegistraInicioPrograma(const Context& ctx, const QString& versao);
void RegistraFimPrograma(const Context& ctx, const QString& versao);

}  // namespace ql
