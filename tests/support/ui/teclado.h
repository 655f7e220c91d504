#pragma once

// The keyboard of a real display, for the end-to-end counter tests: keys go to the window that
// has the keyboard and from there to whatever control the screens left focused. Header-only,
// for the ui test programs.

#include <QApplication>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include "shell/screens/form_principal.h"

namespace ql::test {

// The window that has the keyboard. A bare X server has no window manager to hand the keyboard
// back to the main window when a dialog closes: this does what it would.
inline QWindow* janelaComTeclado() {
    if (!QGuiApplication::focusWindow()) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && qobject_cast<FormPrincipal*>(w)) {
                w->activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(w));
            }
        }
    }
    QWindow* janela = QGuiApplication::focusWindow();
    EXPECT_NE(janela, nullptr) << "no window has the keyboard";
    return janela;
}

// Presses the keys of `texto` (then Enter, unless told not to), or a single key.
inline void teclas(const QString& texto, bool enter = true) {
    if (QWindow* janela = janelaComTeclado()) {
        for (QChar c : texto) QTest::keyClick(janela, c.toLatin1());
        if (enter) QTest::keyClick(janela, Qt::Key_Return);
    }
}
inline void pressiona(Qt::Key k) {
    if (QWindow* janela = janelaComTeclado()) QTest::keyClick(janela, k);
}

// The control that would receive the next key, by object name.
inline QString foco() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

}  // namespace ql::test
