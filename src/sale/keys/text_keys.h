#pragma once

#include "sale/keys/money_entry.h"

namespace ql {

// Key rule of the system's text boxes: every typed character goes through the key filter
// (FiltraTecla), so letters arrive upper-cased and the apostrophe, ";" and "=", which would
// break the host's text messages, never arrive. Enter and Backspace pass unchanged.
ResultadoTecla TeclaTexto(EstadoCampo& campo, int tecla);

// The text a text box would hold when a whole text arrives at once (pasted or set by a reader
// that does not type): the same filter applied to each character.
QString FiltraTexto(const QString& texto);

}  // namespace ql
