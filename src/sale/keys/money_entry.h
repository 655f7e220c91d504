#pragma once

#include <QString>

#include "sale/keys/key_codes.h"

namespace ql {

// The editable state of one text box as the key handlers see it: its text, its selection, the
// caret and whether it is locked (read only). A screen copies its widget into this record,
// calls a handler and copies the record back.
struct EstadoCampo {
    QString texto;
    int inicioSelecao = 0;
    int tamanhoSelecao = 0;
    int cursor = 0;
    bool travado = false;
};

// What happens to a key after a handler saw it.
struct ResultadoTecla {
    int tecla = teclas::Nenhuma;  // the key the text box still processes; 0 = dropped or consumed
    int tabs = 0;                 // Tab keystrokes to send afterwards (the focus moves on)

    bool operator==(const ResultadoTecla&) const = default;
};

// The longest amount an amount field holds: "99.999,99".
inline constexpr int kTamanhoMaximoValor = 9;
// The longest discount: "99,99".
inline constexpr int kTamanhoMaximoDesconto = 5;

// Removes every "." and "," from an amount text (texts of up to 255 characters are read).
QString frValorVirg(const QString& texto);

// Hundredths as an amount text: "," before the two decimals and "." between thousands
// (5 -> "0,05", 123456 -> "1.234,56"). Negative values keep their sign.
QString FormataValorCentavos(qint64 centavos);

// Money typed from the right. Enter asks for a Tab; Backspace resets the text to "0,00"; a digit
// is appended to the hundredths already typed unless the field is locked or already holds
// nine characters; a selection of more than one character is replaced. Every key is consumed
// and the caret goes to the end.
ResultadoTecla Valor_KeyPress(EstadoCampo& campo, int tecla);

// Change handler of an amount field: a text shorter than three characters is read as hundredths
// and shown with two decimals ("5" -> "0,05", "" -> "0,00"); the caret goes to the end.
// Returns true when the text was replaced.
bool Valor_Change(EstadoCampo& campo);

// Key rule of the gross price field: a locked field drops every key; only digits, Backspace and
// Enter reach the amount handler; Enter moves the focus on by two fields.
ResultadoTecla PrecoBruto_KeyPress(EstadoCampo& campo, int tecla);

// Key rule of the discount field (at most "99,99"): a locked field drops every key; only digits,
// Backspace and Enter count; Enter moves to the next field. With the whole five-character text
// selected the text restarts from "0"; Backspace sets "0"; a sixth character is refused.
ResultadoTecla Desconto_KeyPress(EstadoCampo& campo, int tecla);

// Key rule of a quantity field: digits, Backspace and Enter pass, everything else is dropped.
int Quantidade_KeyPress(int tecla);

}  // namespace ql
