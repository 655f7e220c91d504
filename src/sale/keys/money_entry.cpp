#include "sale/keys/money_entry.h"

#include <limits>

namespace ql {

namespace {

const QString kValorZerado = QStringLiteral("0,00");

void cursorNoFim(EstadoCampo& campo) {
    campo.cursor = int(campo.texto.size());
    campo.inicioSelecao = campo.cursor;
    campo.tamanhoSelecao = 0;
}

// The hundredths a text holds: its digits read as one whole number. Anything that is not a
// digit (separators, blanks, pasted letters) is ignored; an empty text is 0.
qint64 centavosDoTexto(const QString& texto) {
    qint64 valor = 0;
    for (QChar c : frValorVirg(texto)) {
        if (!c.isDigit() || c.unicode() > 127) continue;
        if (valor > (std::numeric_limits<qint64>::max() - 9) / 10) break;
        valor = valor * 10 + (c.unicode() - '0');
    }
    return valor;
}

}  // namespace

QString frValorVirg(const QString& texto) {
    QString resultado;
    const QString lido = texto.left(255);
    resultado.reserve(lido.size());
    for (QChar c : lido) {
        if (c != QLatin1Char('.') && c != QLatin1Char(',')) resultado.append(c);
    }
    return resultado;
}

QString FormataValorCentavos(qint64 centavos) {
    const bool negativo = centavos < 0;
    // Work on the magnitude as unsigned so that the smallest qint64 does not overflow.
    const quint64 magnitude = negativo ? quint64(0) - quint64(centavos) : quint64(centavos);
    const QString inteiro = QString::number(magnitude / 100);
    QString agrupado;
    const int n = int(inteiro.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) agrupado.append(QLatin1Char('.'));
        agrupado.append(inteiro.at(i));
    }
    const QString decimais = QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    return (negativo ? QStringLiteral("-") : QString()) + agrupado + QLatin1Char(',') + decimais;
}

ResultadoTecla Valor_KeyPress(EstadoCampo& campo, int tecla) {
    if (tecla == teclas::Enter) {
        cursorNoFim(campo);
        return {teclas::Nenhuma, 1};
    }
    if (tecla == teclas::Backspace) {
        campo.texto = kValorZerado;
        cursorNoFim(campo);
        return {};
    }
    if (!teclas::EhDigito(tecla) || campo.travado || campo.texto.size() >= kTamanhoMaximoValor) {
        cursorNoFim(campo);
        return {};
    }
    if (campo.tamanhoSelecao > 1) campo.texto = kValorZerado;
    const qint64 centavos = centavosDoTexto(campo.texto) * 10 + (tecla - '0');
    campo.texto = FormataValorCentavos(centavos);
    cursorNoFim(campo);
    return {};
}

bool Valor_Change(EstadoCampo& campo) {
    if (campo.texto.size() >= 3) return false;
    campo.texto = FormataValorCentavos(centavosDoTexto(campo.texto));
    cursorNoFim(campo);
    return true;
}

ResultadoTecla PrecoBruto_KeyPress(EstadoCampo& campo, int tecla) {
    if (campo.travado) return {};
    if (!teclas::EhDigito(tecla) && tecla != teclas::Backspace && tecla != teclas::Enter) return {};
    if (tecla == teclas::Enter) {
        // One Tab for the Enter itself, one more from the amount handler.
        ResultadoTecla r = Valor_KeyPress(campo, tecla);
        r.tabs += 1;
        return r;
    }
    return Valor_KeyPress(campo, tecla);
}

ResultadoTecla Desconto_KeyPress(EstadoCampo& campo, int tecla) {
    if (campo.travado) return {};
    if (!teclas::EhDigito(tecla) && tecla != teclas::Backspace && tecla != teclas::Enter) return {};
    if (tecla == teclas::Enter) return {teclas::Nenhuma, 1};
    const bool tudoSelecionado = campo.texto.size() == kTamanhoMaximoDesconto &&
                                 campo.inicioSelecao == 0 &&
                                 campo.tamanhoSelecao == kTamanhoMaximoDesconto;
    if (tudoSelecionado) {
        campo.texto = QStringLiteral("0");
        cursorNoFim(campo);
        if (tecla == teclas::Backspace) return {};
        return Valor_KeyPress(campo, tecla);
    }
    if (tecla == teclas::Backspace) {
        campo.texto = QStringLiteral("0");
        cursorNoFim(campo);
        return {};
    }
    if (campo.texto.size() >= kTamanhoMaximoDesconto) return {};
    return Valor_KeyPress(campo, tecla);
}

int Quantidade_KeyPress(int tecla) {
    if (teclas::EhDigito(tecla) || tecla == teclas::Backspace || tecla == teclas::Enter)
        return tecla;
    return teclas::Nenhuma;
}

}  // namespace ql
