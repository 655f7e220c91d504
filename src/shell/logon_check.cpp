#include "shell/logon_check.h"

#include <array>

#include "shell/context.h"
#include "shell/ini_access.h"

namespace ql {

std::optional<QDateTime> LeDataUltimoLogin(const QString& valor) {
    static const std::array<const char*, 6> formatos = {
        "dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy HH:mm", "dd/MM/yyyy",
        "d/M/yyyy H:m:s",      "d/M/yyyy H:m",     "d/M/yyyy",
    };
    const QString texto = valor.simplified();
    if (texto.isEmpty()) return std::nullopt;
    for (const char* formato : formatos) {
        const QDateTime lida = QDateTime::fromString(texto, QLatin1String(formato));
        if (lida.isValid()) return lida;
    }
    // Two-digit years as the logon window of older versions may have written them.
    for (const char* formato : {"dd/MM/yy HH:mm:ss", "dd/MM/yy"}) {
        QDateTime lida = QDateTime::fromString(texto, QLatin1String(formato));
        if (lida.isValid()) {
            if (lida.date().year() < 1930) lida = lida.addYears(100);
            return lida;
        }
    }
    return std::nullopt;
}

DecisaoLogon DecideLogon(const std::optional<QString>& ultimoLogin, qint32 timeOutLogin,
                         const QDateTime& agora) {
    if (!ultimoLogin || ultimoLogin->trimmed().isEmpty()) return DecisaoLogon::PararTimer;
    const std::optional<QDateTime> data = LeDataUltimoLogin(*ultimoLogin);
    if (!data) return DecisaoLogon::LogonDevido;
    // Both times are local wall-clock times; whole minutes only, a part minute does not count.
    const qint64 minutos = data->secsTo(agora) / 60;
    return minutos > qint64(timeOutLogin) ? DecisaoLogon::LogonDevido : DecisaoLogon::LogonEmDia;
}

DecisaoLogon VerificaLogon(Context& ctx) {
    QString valor;
    const bool lido =
        LeLinhaArquivoIni(ctx, QStringLiteral("DADOS_GERAIS"), QStringLiteral("Ultimo_Login"),
                          QString(), valor, CaminhoQlnClientIni(ctx));
    return DecideLogon(lido ? std::optional<QString>(valor) : std::nullopt,
                       ctx.config.TimeOut_Login, ctx.relogio.now());
}

}  // namespace ql
