#pragma once

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

namespace ql {

// Enter on a focused command clicks it, as the cashier expects, without making any command
// the dialog's default button (Enter in a text box belongs to that box's own rule).
class EnterNoBotao final : public QObject {
  public:
    explicit EnterNoBotao(QAbstractButton* botao) : QObject(botao), botao_(botao) {
        botao->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* evento) override {
        if (evento->type() != QEvent::KeyPress) return false;
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->key() != Qt::Key_Return && tecla->key() != Qt::Key_Enter) return false;
        if (tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
        if (botao_->isEnabled()) botao_->click();
        return true;
    }

  private:
    QAbstractButton* botao_;
};

}  // namespace ql
