#include "data/screens/form_login.h"

#include <QLineEdit>
#include <QPushButton>

#include "data/usuarios.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "ui/busy_cursor.h"
#include "ui/telas.h"

namespace ql {

FormLogin::FormLogin(Context& ctx, QWidget* parent)
    : DialogoSenha(ctx, QStringLiteral("formLogin"), QStringLiteral("Login"),
                   {QStringLiteral("&Usuário:"), "lblUserName", "txtUserName", false},
                   {QStringLiteral("&Senha:"), "lblPassword", "txtPassword", true},
                   QStringLiteral("F3 - &OK"), QStringLiteral("ESC - &Cancel"), parent) {
    Form_Load();
}

void FormLogin::Form_Load() {
    runTrapped(ctx_, "Form_Load", 0, [&] {
        const LayoutFormLogin& layout = ctx_.telas.FormLogin[ctx_.TipoEstab];
        aplicaLayout(layout.txtUserName, layout.txtPassword, layout.cmdOk_Caption,
                     layout.cmdCancel_Caption);
        return 0;
    });
}

void FormLogin::cmdOk_Click() {
    runTrapped(ctx_, "cmdOk", 0, [&] {
        BusyCursor ocupado(cmdOk_);
        ctx_.login.LoginAtivo = false;
        const ResultadoLogin resultado =
            ExecutaLogin(ctx_, txtPrimeiro_->text(), txtSegundo_->text(),
                         [this](Context& c) { ExecutaFormNovaSenha(c, this); });
        switch (resultado) {
            case ResultadoLogin::Aceito:
                ocupado.release();
                accept();
                break;
            case ResultadoLogin::UsuarioRecusado:
                focaSeDisponivel(txtPrimeiro_);
                break;
            case ResultadoLogin::SenhaRecusada:
                txtSegundo_->clear();
                focaSeDisponivel(txtSegundo_);
                break;
        }
        return 0;
    });
}

void FormLogin::reject() {
    ctx_.login.LoginAtivo = false;
    QDialog::reject();
}

bool ExecutaFormLogin(Context& ctx, QWidget* pai) {
    FormLogin tela(ctx, pai);
    tela.exec();
    return ctx.login.LoginAtivo;
}

}  // namespace ql
