#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace ql {

struct Context;
class FormPrincipal;

// The host logon window (FormMensLogon), modal: holds off the main window's logon check, lets
// itself paint, logs on, writes Ultimo_Login when the host accepted, and closes.
class FormMensLogon final : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kEsperaMs = 700;

    explicit FormMensLogon(FormPrincipal& principal);

    // The one tick of the window's timer: the logon itself.
    void Timer1_Timer();
    QTimer& Timer1() { return timer1_; }
    // True once the host accepted the logon.
    bool aceito() const { return aceito_; }

  protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void reject() override;

  private:
    FormPrincipal& principal_;
    Context& ctx_;
    QLabel* lblMensagem_ = nullptr;
    QTimer timer1_;
    bool terminado_ = false;
    bool aceito_ = false;
};

}  // namespace ql
