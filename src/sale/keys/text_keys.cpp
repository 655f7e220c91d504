#include "sale/keys/text_keys.h"

#include "shell/captions.h"

namespace ql {

ResultadoTecla TeclaTexto(EstadoCampo& /*campo*/, int tecla) {
    return {FiltraTecla(tecla), 0};
}

int Pesquisa_KeyPress(int tecla, bool soDigitos) {
    if (!soDigitos) return FiltraTecla(tecla);
    const bool passa = teclas::EhDigito(tecla) || tecla == teclas::Enter || tecla == teclas::Esc ||
                       tecla == teclas::Backspace;
    return passa ? tecla : teclas::Nenhuma;
}

QString FiltraTexto(const QString& texto) {
    QString resultado;
    resultado.reserve(texto.size());
    for (QChar c : texto) {
        const int filtrado = FiltraTecla(c.unicode());
        if (filtrado != 0) resultado.append(QChar(char16_t(filtrado)));
    }
    return resultado;
}

}  // namespace ql
