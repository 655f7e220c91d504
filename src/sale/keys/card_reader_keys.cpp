#include "sale/keys/card_reader_keys.h"

namespace ql {

bool LeitorCartaoTeclado::tecla(int codigo, Modo modo) {
    if (codigo != teclas::Enter) return false;
    if (modo == Modo::Digitacao) {
        enters_ = 0;
        return true;
    }
    if (++enters_ < kEntersPorCartao) return false;
    enters_ = 0;
    return true;
}

}  // namespace ql
