#pragma once

#include <QPointer>
#include <QWidget>

namespace ql {

// While a command runs: the arrow-and-hourglass pointer, and the command's own button
// disabled. Both are restored when the guard goes out of scope, however the command ends
// (also after a validation failure). Guards nest.
class BusyCursor {
  public:
    explicit BusyCursor(QWidget* comando = nullptr);
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    // Restores pointer and button now instead of at the end of the scope.
    void release();

  private:
    QPointer<QWidget> comando_;
    bool reabilita_ = false;
    bool ativo_ = true;
};

}  // namespace ql
