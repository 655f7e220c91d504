#include "host/valores.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace ql {

qint64 valorInteiro(const QString& texto) {
    qsizetype i = 0;
    while (i < texto.size() && texto.at(i).isSpace()) ++i;
    bool negativo = false;
    if (i < texto.size() && (texto.at(i) == QLatin1Char('-') || texto.at(i) == QLatin1Char('+'))) {
        negativo = texto.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 valor = 0;
    for (; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        if (valor > (std::numeric_limits<qint64>::max() - 9) / 10) break;  // keep what fits
        valor = valor * 10 + (c.unicode() - '0');
    }
    return negativo ? -valor : valor;
}

std::optional<double> lerDecimal(const QString& texto) {
    const QString t = texto.trimmed();
    if (t.isEmpty()) return std::nullopt;
    static const QLocale ptBR(QLocale::Portuguese, QLocale::Brazil);
    bool ok = false;
    double valor = ptBR.toDouble(t, &ok);
    if (!ok) valor = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(valor)) return std::nullopt;
    return valor;
}

quint64 magnitude(qint64 valor) {
    return valor < 0 ? 0 - quint64(valor) : quint64(valor);
}

bool SoDigitos(const QString& texto) {
    if (texto.isEmpty()) return false;
    for (QChar c : texto) {
        if (c < u'0' || c > u'9') return false;
    }
    return true;
}

QString formataZeros(qint64 valor, int digitos) {
    const QString numero =
        QString::number(magnitude(valor)).rightJustified(digitos, QLatin1Char('0'));
    return valor < 0 ? QLatin1Char('-') + numero : numero;
}

std::optional<qint64> centavosDe(double valor) {
    const double centavos = std::round(valor * 100.0);
    // 2^63 is exact as a double; every double below it in size fits in 64 bits.
    if (!std::isfinite(centavos) || std::fabs(centavos) >= 9223372036854775808.0)
        return std::nullopt;
    return qint64(centavos);
}

QString formataValor(double valor) {
    // Round to cents first so that 2.675 (held as 2.67499...) still shows as it was typed.
    const std::optional<qint64> centavos = centavosDe(valor);
    if (!centavos) {
        if (!std::isfinite(valor)) return QStringLiteral("0,00");
        return QString::number(valor, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
    }
    const quint64 abs = magnitude(*centavos);
    QString texto = QString::number(abs / 100) + QLatin1Char(',') +
                    QString::number(abs % 100).rightJustified(2, QLatin1Char('0'));
    return *centavos < 0 ? QLatin1Char('-') + texto : texto;
}

QString centavosParaValor(const QString& centavos) {
    return formataValor(static_cast<double>(valorInteiro(centavos)) / 100.0);
}

QString valorParaCentavos(const QString& valor, int digitos) {
    return formataZeros(centavosDe(lerDecimal(valor).value_or(0.0)).value_or(0), digitos);
}

QString formataCodigo(const QString& codigo, int digitos) {
    const QString t = codigo.trimmed();
    if (t.isEmpty()) return t;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return t;
    }
    QString semZeros = t;
    while (semZeros.size() > 1 && semZeros.startsWith(QLatin1Char('0'))) semZeros.remove(0, 1);
    return semZeros.rightJustified(digitos, QLatin1Char('0'));
}

}  // namespace ql
