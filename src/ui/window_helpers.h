#pragma once

class QLineEdit;
class QWidget;

namespace ql {

// Centres a window on its screen (the main window's screen for a child of the frame).
void CentralizaJanela(QWidget* janela);

// Puts a window at the top-left corner of its parent area (or of the screen).
void PosicionaFormulario(QWidget* janela);

// Selects the whole text of a text box, as when it receives the focus or after a rejected input.
void SelecionaCampo(QLineEdit* campo);

// Sends one Tab keystroke to the focused control so that the focus moves to the next control in
// tab order (Enter in a text box behaves as Tab). `origem` is used when nothing has the focus.
void EnterTab(QWidget* origem = nullptr);

}  // namespace ql
