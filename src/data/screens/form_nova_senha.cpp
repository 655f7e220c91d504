#include <QLineEdit>
#include <QPushButton>

#include "data/screens/dialogo_senha.h"
#include "data/usuarios.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "ui/busy_cursor.h"
#include "ui/telas.h"

namespace ql {

namespace {

// The password change of the logged manager (formNovaSenha), modal. The caller reads
// ctx.login.NovaSenha when it closes ("" = no change).
class FormNovaSenha final : public DialogoSenha {
  public:
    FormNovaSenha(Context& ctx, QWidget* parent)
        : DialogoSenha(
              ctx, QStringLiteral("formNovaSenha"), QStringLiteral("Alterar Senha"),
              {QStringLiteral("&Nova Senha:"), "lblNovaSenha", "txtNovaSenha", true},
              {QStringLiteral("&Digite Novamente:"), "lblNovaSenha2", "txtNovaSenha2", true},
              QStringLiteral("F3 - &Confirma"), QStringLiteral("ESC - &Cancela"), parent) {
        runTrapped(ctx_, "Form_Load", 0, [&] {
            ctx_.login.NovaSenha.clear();
            const LayoutFormNovaSenha& layout = ctx_.telas.FormNovaSenha[ctx_.TipoEstab];
            aplicaLayout(layout.txtNovaSenha, layout.txtNovaSenha2, layout.cmdOk_Caption,
                         layout.cmdCancel_Caption);
            return 0;
        });
    }

    // Both boxes must agree and the new password follow the login's password rule; then the
    // users file is rewritten and the screen closes.
    void cmdOk_Click() override {
        runTrapped(ctx_, "cmdOk", 0, [&] {
            BusyCursor ocupado(cmdOk_);
            if (ConfirmaNovaSenha(ctx_, txtPrimeiro_->text(), txtSegundo_->text())) {
                ocupado.release();
                accept();
            } else {
                focaSeDisponivel(txtPrimeiro_);
            }
            return 0;
        });
    }

    // Esc: no change.
    void reject() override {
        ctx_.login.NovaSenha.clear();
        QDialog::reject();
    }
};

}  // namespace

bool ExecutaFormNovaSenha(Context& ctx, QWidget* pai) {
    FormNovaSenha tela(ctx, pai);
    tela.exec();
    return !ctx.login.NovaSenha.isEmpty();
}

}  // namespace ql
