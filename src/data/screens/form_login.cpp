#include "data/screens/form_login.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "data/regras_login.h"
#include "data/usuarios.h"
#include "shell/captions.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "ui/busy_cursor.h"
#include "ui/key_filters.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

FormLogin::FormLogin(Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("formLogin"));
    setWindowTitle(QStringLiteral("Login"));
    setModal(true);

    lblUserName_ = new QLabel(QStringLiteral("&Usuário:"), this);
    lblUserName_->setObjectName(QStringLiteral("lblUserName"));
    txtUserName_ = new QLineEdit(this);
    txtUserName_->setObjectName(QStringLiteral("txtUserName"));
    lblUserName_->setBuddy(txtUserName_);
    lblPassword_ = new QLabel(QStringLiteral("&Senha:"), this);
    lblPassword_->setObjectName(QStringLiteral("lblPassword"));
    txtPassword_ = new QLineEdit(this);
    txtPassword_->setObjectName(QStringLiteral("txtPassword"));
    txtPassword_->setEchoMode(QLineEdit::Password);
    lblPassword_->setBuddy(txtPassword_);
    cmdOk_ = new QPushButton(QStringLiteral("F3 - &OK"), this);
    cmdOk_->setObjectName(QStringLiteral("cmdOk"));
    cmdCancel_ = new QPushButton(QStringLiteral("ESC - &Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    // Enter belongs to the text boxes (next field, or the login itself), never to a button.
    for (QPushButton* b : {cmdOk_, cmdCancel_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto* grade = new QGridLayout(this);
    grade->addWidget(lblUserName_, 0, 0);
    grade->addWidget(txtUserName_, 0, 1);
    grade->addWidget(lblPassword_, 1, 0);
    grade->addWidget(txtPassword_, 1, 1);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(cmdOk_);
    botoes->addWidget(cmdCancel_);
    grade->addLayout(botoes, 2, 0, 1, 2);
    setTabOrder(txtUserName_, txtPassword_);
    setTabOrder(txtPassword_, cmdOk_);
    setTabOrder(cmdOk_, cmdCancel_);

    for (QLineEdit* campo : {txtUserName_, txtPassword_}) {
        InstalaFiltraTecla(campo);
        InstalaSelecaoAoFocar(campo);
    }
    InstalaEnterTab(txtUserName_);
    connect(txtPassword_, &QLineEdit::returnPressed, this, [this] { cmdOk_Click(); });
    connect(cmdOk_, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    InstalaTeclasFuncao(this, {{Qt::Key_F3, cmdOk_}});

    Form_Load();
}

void FormLogin::Form_Load() {
    runTrapped(ctx_, "formLogin_Form_Load", 0, [&] {
        const LayoutFormLogin& layout = ctx_.telas.FormLogin[ctx_.TipoEstab];
        lblUserName_->setText(layout.txtUserName.caption.trimmed());
        lblPassword_->setText(layout.txtPassword.caption.trimmed());
        txtUserName_->setMaxLength(TamanhoMaximoCampo(layout.txtUserName));
        txtPassword_->setMaxLength(TamanhoMaximoCampo(layout.txtPassword));
        // A command whose key is missing from the layout stays disabled and without caption.
        cmdOk_->setEnabled(layout.cmdOk_Caption.enabled);
        cmdOk_->setText(layout.cmdOk_Caption.caption.trimmed());
        cmdCancel_->setEnabled(layout.cmdCancel_Caption.enabled);
        cmdCancel_->setText(layout.cmdCancel_Caption.caption.trimmed());
        adjustSize();
        CentralizaJanela(this);
        return 0;
    });
}

void FormLogin::focaSeDisponivel(QLineEdit* campo) {
    if (campo->isEnabled() && campo->isVisible()) {
        campo->setFocus();
        SelecionaCampo(campo);
    }
}

void FormLogin::cmdOk_Click() {
    runTrapped(ctx_, "cmdOk_Click", 0, [&] {
        BusyCursor ocupado(cmdOk_);
        ctx_.login.LoginAtivo = false;
        const ResultadoLogin resultado =
            ExecutaLogin(ctx_, txtUserName_->text(), txtPassword_->text(),
                         [this](Context& c) { ExecutaFormNovaSenha(c, this); });
        switch (resultado) {
            case ResultadoLogin::Aceito:
                ocupado.release();
                accept();
                break;
            case ResultadoLogin::UsuarioRecusado:
                focaSeDisponivel(txtUserName_);
                break;
            case ResultadoLogin::SenhaRecusada:
                txtPassword_->clear();
                focaSeDisponivel(txtPassword_);
                break;
        }
        return 0;
    });
}

void FormLogin::cmdCancel_Click() {
    reject();
}

void FormLogin::reject() {
    ctx_.login.LoginAtivo = false;
    QDialog::reject();
}

void FormLogin::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier) {
        // Esc is the cancel command: it acts only while that command is available.
        if (cmdCancel_->isEnabled() && cmdCancel_->isVisible()) cmdCancel_->click();
        evento->accept();
        return;
    }
    QDialog::keyPressEvent(evento);
}

bool ExecutaFormLogin(Context& ctx, QWidget* pai) {
    FormLogin tela(ctx, pai);
    tela.exec();
    return ctx.login.LoginAtivo;
}

}  // namespace ql
