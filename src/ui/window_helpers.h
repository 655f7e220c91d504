#pragma once

#include <functional>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QObject;
class QString;
class QTimer;
class QWidget;

namespace ql {

struct CommandSlot;

// Centres a window on its screen (the main window's screen for a child of the frame).
void CentralizaJanela(QWidget* janela);

// Arms a waiting window's one-shot `Timer1` (named so for tests) and starts it: the window
// shows and paints for `esperaMs` before `aoDisparar` begins its blocking work.
void IniciaTimer1(QTimer& timer, int esperaMs, QObject* dono, std::function<void()> aoDisparar);

// Puts a window at the top-left corner of its parent area (or of the screen).
void PosicionaFormulario(QWidget* janela);

// Selects the whole text of a text box, as when it receives the focus or after a rejected input.
void SelecionaCampo(QLineEdit* campo);

// Sends one Tab keystroke to the focused control so that the focus moves to the next control in
// tab order (Enter in a text box behaves as Tab). `origem` is used when nothing has the focus.
void EnterTab(QWidget* origem = nullptr);

// A caption from the layout record, as it is configured (trimmed): a caption configured blank,
// or a key left out, blanks the control.
void AplicaLegenda(QLabel* rotulo, const QString& legenda);
void AplicaLegenda(QAbstractButton* botao, const QString& legenda);
void AplicaLegenda(QGroupBox* quadro, const QString& legenda);

// A command's enabled flag and caption from the layout record (the caption as AplicaLegenda).
void AplicaComando(QAbstractButton* botao, const CommandSlot& slot);

}  // namespace ql
