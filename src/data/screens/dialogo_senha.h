#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ql {

struct CommandSlot;
struct Context;
struct InputFieldSlot;

// The shape the login and the password change share: a modal dialog of two labelled text boxes
// over an OK and a Cancel command. Both boxes take the key filter and select their whole text
// on focus; Enter in the first moves on, Enter in the second and F3 run OK; Esc clicks Cancel
// while that command is available. Enter never belongs to a button.
class DialogoSenha : public QDialog {
    Q_OBJECT
  public:
    // F3, Enter in the second box.
    virtual void cmdOk_Click() = 0;
    // Esc.
    void cmdCancel_Click() { reject(); }

    QPushButton* cmdOk() const { return cmdOk_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

  protected:
    // One box: its label's design caption and the object names of label and box; `senha`
    // hides what is typed.
    struct Campo {
        QString legenda;
        const char* nomeRotulo;
        const char* nomeCaixa;
        bool senha;
    };

    DialogoSenha(Context& ctx, const QString& nomeTela, const QString& titulo,
                 const Campo& primeiro, const Campo& segundo, const QString& legendaOk,
                 const QString& legendaCancel, QWidget* parent);

    // The layout record's captions and maximum lengths of the two boxes and the captions of its
    // two commands, as configured (a blank or missing caption blanks its control); a command
    // whose key is missing stays disabled.
    // Then the dialog takes its size and is centred.
    void aplicaLayout(const InputFieldSlot& primeiro, const InputFieldSlot& segundo,
                      const CommandSlot& ok, const CommandSlot& cancel);
    // Focus and whole-text selection on a box that can take them.
    static void focaSeDisponivel(QLineEdit* campo);

    void keyPressEvent(QKeyEvent* evento) override;

    Context& ctx_;
    // The first box: the user name, or the new password.
    QLabel* lblPrimeiro_ = nullptr;
    QLineEdit* txtPrimeiro_ = nullptr;
    // The second box: the password, or the new password again.
    QLabel* lblSegundo_ = nullptr;
    QLineEdit* txtSegundo_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

}  // namespace ql
