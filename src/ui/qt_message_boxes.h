#pragma once

#include <QPointer>
#include <QWidget>

#include "shell/message_boxes.h"

namespace ql {

// Message boxes on screen: QMessageBox with the system's icons and Portuguese buttons
// ("Sim"/"Não", "OK"/"Cancelar"), modal over the parent window when one is set.
class QtMessageBoxes final : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}

    // The window the boxes are centred on (the main window once it exists).
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    Answer show(const QString& text, const QString& title, Icon icon, Buttons buttons,
                Answer defaultButton) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace ql
