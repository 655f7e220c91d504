#pragma once

#include <QObject>

#include <functional>
#include <utility>
#include <vector>

#include "sale/keys/money_entry.h"

class QAbstractButton;
class QLineEdit;
class QWidget;

namespace ql {

// A key rule of a text box, as the pure key handlers define it: it sees the box's state and the
// typed character code (Enter 13, Backspace 8), may change the state, and says which key the
// box still processes (0 = none) and how many Tab keystrokes follow.
using RegraTecla = std::function<ResultadoTecla(EstadoCampo&, int)>;

// Forwards the typed keys of one QLineEdit to a key rule. Keys that carry no character
// (arrows, function keys, shortcuts with Ctrl/Alt) are left to the box and the screen.
class KeyRuleFilter final : public QObject {
    Q_OBJECT
  public:
    KeyRuleFilter(QLineEdit* campo, RegraTecla regra);

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

  private:
    QLineEdit* campo_;
    RegraTecla regra_;
};

// The character code of a key press as the key rules see it; 0 when the key types nothing.
int CodigoTecla(int teclaQt, const QString& texto, Qt::KeyboardModifiers modificadores);

// Makes a text box an amount field: money typed from the right with "," as the decimal
// separator (Valor_KeyPress, or the given rule such as PrecoBruto_KeyPress), and short texts
// normalised on every change (Valor_Change).
void InstalaCampoValor(QLineEdit* campo, RegraTecla regra = {});

// Runs every typed character of a text box through a character filter (such as the upper-case
// key filter): the filter's 0 drops the key, another code replaces the typed character.
void InstalaFiltroCaractere(QLineEdit* campo, std::function<int(int)> filtro);

// The key filter of the system's text boxes (upper case, no apostrophe), for typed and for
// pasted text alike.
void InstalaFiltraTecla(QLineEdit* campo);

// Function keys of a screen: each key clicks its button, but only while the button is enabled
// and visible. The keys reach the screen from any control inside it that does not use them.
// F11 and F12 of screens inside the main window belong to the main window's commands (which
// call the screen's registered operations), so such screens do not bind them here.
void InstalaTeclasFuncao(QWidget* tela,
                         std::vector<std::pair<Qt::Key, QAbstractButton*>> teclasBotoes);

// Enter in the control moves the focus to the next control (Enter as Tab).
void InstalaEnterTab(QWidget* controle);

// The whole text is selected whenever the text box receives the focus.
void InstalaSelecaoAoFocar(QLineEdit* campo);

}  // namespace ql
