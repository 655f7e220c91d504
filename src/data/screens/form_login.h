#pragma once

#include "data/screens/dialogo_senha.h"

namespace ql {

// The operator login (formLogin), modal: a manager's user name and password, or the service
// user's. The caller reads ctx.login.LoginAtivo when it closes.
class FormLogin final : public DialogoSenha {
    Q_OBJECT
  public:
    FormLogin(Context& ctx, QWidget* parent = nullptr);

    // F3, Enter in the password box: checks the user and the password (a manager still on the
    // factory password goes through the password change first) and closes on success.
    void cmdOk_Click() override;

    QLineEdit* txtUserName() const { return txtPrimeiro_; }
    QLineEdit* txtPassword() const { return txtSegundo_; }

  protected:
    // Esc: no login.
    void reject() override;

  private:
    void Form_Load();
};

}  // namespace ql
