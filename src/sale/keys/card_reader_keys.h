#pragma once

#include "sale/keys/key_codes.h"

namespace ql {

// Enter handling of the card number field. A typed card is confirmed by its Enter. A keyboard
// card reader types the tracks of a card followed by one Enter per track, so in reading mode the
// card is confirmed on the second Enter and the count starts again from zero.
class LeitorCartaoTeclado {
  public:
    enum class Modo { Digitacao, Leitura };

    // Feeds one key of the card field; true when the card is to be confirmed now.
    bool tecla(int codigo, Modo modo);

    // Forgets the Enters counted so far (the screen was cleared or the mode changed).
    void reinicia() { enters_ = 0; }
    int entersContados() const { return enters_; }

    static constexpr int kEntersPorCartao = 2;

  private:
    int enters_ = 0;
};

}  // namespace ql
