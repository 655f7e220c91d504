#include "ui/busy_cursor.h"

#include <QGuiApplication>

namespace ql {

BusyCursor::BusyCursor(QWidget* comando) : comando_(comando) {
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    if (comando_ && comando_->isEnabled()) {
        comando_->setEnabled(false);
        reabilita_ = true;
    }
}

BusyCursor::~BusyCursor() {
    release();
}

void BusyCursor::release() {
    if (!ativo_) return;
    ativo_ = false;
    QGuiApplication::restoreOverrideCursor();
    // The button may have been destroyed by the command (its screen closed).
    if (reabilita_ && comando_) comando_->setEnabled(true);
}

}  // namespace ql
