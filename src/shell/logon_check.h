#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace ql {

struct Context;

// What one tick of the main window's logon timer decides.
enum class DecisaoLogon {
    PararTimer,   // Ultimo_Login could not be read: the timer stays off for the rest of the run
    LogonDevido,  // the last logon is too old (or not a date): show the logon window
    LogonEmDia,   // the last logon is recent enough: nothing to do
};

// Reads an Ultimo_Login value ("dd/mm/yyyy hh:nn:ss"; a value without seconds, without the time,
// or with a two-digit year is accepted too). Nothing when the text is not a valid date.
std::optional<QDateTime> LeDataUltimoLogin(const QString& valor);

// The decision from the value read (nothing when the read failed), the logon time-out in
// minutes and the current time: a logon is due when the text is not a date or when the whole
// minutes elapsed since it exceed the time-out.
DecisaoLogon DecideLogon(const std::optional<QString>& ultimoLogin, qint32 timeOutLogin,
                         const QDateTime& agora);

// The same decision for a run: reads Ultimo_Login from section "DADOS_GERAIS" of QlnClient.ini
// in the Path Server directory and compares it with ctx.relogio.
DecisaoLogon VerificaLogon(Context& ctx);

}  // namespace ql
