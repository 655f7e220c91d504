#pragma once

// F12 inside a screen asks to leave the program. The main window binds F12 (and F11) to its
// own commands, so a screen that handles these keys itself claims them before those shortcuts
// fire and then handles the key press.

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

#include <functional>
#include <utility>

namespace ql {

class TeclaSaidaFilter final : public QObject {
  public:
    enum class F11 { DoMenu, DaTela };

    // `aoSair` runs on F12; `depoisDeTecla` runs after every key the screen itself receives.
    // With F11::DaTela the screen also claims F11 from the frame, for its own print button
    // (bound with InstalaTeclasFuncao).
    TeclaSaidaFilter(QWidget* tela, std::function<void()> aoSair,
                     std::function<void()> depoisDeTecla = {}, F11 f11 = F11::DoMenu)
        : QObject(tela),
          aoSair_(std::move(aoSair)),
          depoisDeTecla_(std::move(depoisDeTecla)),
          f11DaTela_(f11 == F11::DaTela) {
        tela->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* evento) override {
        if (evento->type() != QEvent::ShortcutOverride && evento->type() != QEvent::KeyPress)
            return false;
        auto* tecla = static_cast<QKeyEvent*>(evento);
        const bool semModificador = tecla->modifiers() == Qt::NoModifier;
        const bool f12 = tecla->key() == Qt::Key_F12 && semModificador;
        const bool f11 = f11DaTela_ && tecla->key() == Qt::Key_F11 && semModificador;
        if (evento->type() == QEvent::ShortcutOverride) {
            if (!f12 && !f11) return false;
            // Accepted here, the key arrives as a key press instead of a menu shortcut.
            tecla->accept();
            return true;
        }
        if (f12) {
            tecla->accept();
            if (aoSair_) aoSair_();
        }
        if (depoisDeTecla_) {
            // After the screen's own handlers (the function keys) have run.
            QMetaObject::invokeMethod(this, depoisDeTecla_, Qt::QueuedConnection);
        }
        return f12;
    }

  private:
    std::function<void()> aoSair_;
    std::function<void()> depoisDeTecla_;
    bool f11DaTela_;
};

}  // namespace ql
