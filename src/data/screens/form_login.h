#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ql {

struct Context;

// The operator login (formLogin), modal: a manager's user name and password, or the service
// user's. The caller reads ctx.login.LoginAtivo when it closes.
class FormLogin final : public QDialog {
    Q_OBJECT
  public:
    FormLogin(Context& ctx, QWidget* parent = nullptr);

    // F3, Enter in the password box: checks the user and the password (a manager still on the
    // factory password goes through the password change first) and closes on success.
    void cmdOk_Click();
    // Esc: no login.
    void cmdCancel_Click();

    QLineEdit* txtUserName() const { return txtUserName_; }
    QLineEdit* txtPassword() const { return txtPassword_; }
    QPushButton* cmdOk() const { return cmdOk_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

  protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void reject() override;

  private:
    void Form_Load();
    void focaSeDisponivel(QLineEdit* campo);

    Context& ctx_;
    QLabel* lblUserName_ = nullptr;
    QLabel* lblPassword_ = nullptr;
    QLineEdit* txtUserName_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace ql
