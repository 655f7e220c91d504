#pragma once

#include "sale/keys/money_entry.h"

namespace ql {

// Key rule of the system's text boxes: every typed character goes through the key filter
// (FiltraTecla), so letters arrive upper-cased and the apostrophe, ";" and "=", which would
// break the host's text messages, never arrive. Enter and Backspace pass unchanged.
ResultadoTecla TeclaTexto(EstadoCampo& campo, int tecla);

// Key rule of the product search box: with a search of digits only (the layout's kind "N"),
// keys other than digits, Enter, Esc and Backspace are dropped; otherwise the key filter
// applies as in every text box.
int Pesquisa_KeyPress(int tecla, bool soDigitos);

// The text a text box would hold when a whole text arrives at once (pasted or set by a reader
// that does not type): the same filter applied to each character.
QString FiltraTexto(const QString& texto);

}  // namespace ql
