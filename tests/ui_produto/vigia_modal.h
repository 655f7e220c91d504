#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

namespace ql::test {

// Closes a modal dialog a test step failed to close, so that a broken step fails the test
// instead of hanging it. Lives for one test: its timer dies with it.
struct VigiaModal {
    QObject dono;
    explicit VigiaModal(int ms = 10000) {
        QTimer::singleShot(ms, &dono, [] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "modal dialog " << d->objectName().toStdString() << " left open";
                d->done(QDialog::Rejected);
            }
        });
    }
};

}  // namespace ql::test
