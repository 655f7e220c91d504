#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ql {

struct Context;

// The password change of the logged manager (formNovaSenha), modal. The caller reads
// ctx.login.NovaSenha when it closes ("" = no change).
class FormNovaSenha final : public QDialog {
    Q_OBJECT
  public:
    FormNovaSenha(Context& ctx, QWidget* parent = nullptr);

    // F3, Enter in the second box: both boxes must agree and the new password follow the
    // login's password rule; then the users file is rewritten and the screen closes.
    void cmdOk_Click();
    // Esc: no change.
    void cmdCancel_Click();

    QLineEdit* txtNovaSenha() const { return txtNovaSenha_; }
    QLineEdit* txtNovaSenha2() const { return txtNovaSenha2_; }
    QPushButton* cmdOk() const { return cmdOk_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

  protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void reject() override;

  private:
    void Form_Load();

    Context& ctx_;
    QLabel* lblNovaSenha_ = nullptr;
    QLabel* lblNovaSenha2_ = nullptr;
    QLineEdit* txtNovaSenha_ = nullptr;
    QLineEdit* txtNovaSenha2_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace ql
