#include "data/screens/form_nova_senha.h"

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

FormNovaSenha::FormNovaSenha(Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("formNovaSenha"));
    setWindowTitle(QStringLiteral("Alterar Senha"));
    setModal(true);

    lblNovaSenha_ = new QLabel(QStringLiteral("&Nova Senha:"), this);
    lblNovaSenha_->setObjectName(QStringLiteral("lblNovaSenha"));
    txtNovaSenha_ = new QLineEdit(this);
    txtNovaSenha_->setObjectName(QStringLiteral("txtNovaSenha"));
    lblNovaSenha2_ = new QLabel(QStringLiteral("&Digite Novamente:"), this);
    lblNovaSenha2_->setObjectName(QStringLiteral("lblNovaSenha2"));
    txtNovaSenha2_ = new QLineEdit(this);
    txtNovaSenha2_->setObjectName(QStringLiteral("txtNovaSenha2"));
    for (QLineEdit* campo : {txtNovaSenha_, txtNovaSenha2_}) {
        campo->setEchoMode(QLineEdit::Password);
        InstalaFiltraTecla(campo);
        InstalaSelecaoAoFocar(campo);
    }
    lblNovaSenha_->setBuddy(txtNovaSenha_);
    lblNovaSenha2_->setBuddy(txtNovaSenha2_);
    cmdOk_ = new QPushButton(QStringLiteral("F3 - &Confirma"), this);
    cmdOk_->setObjectName(QStringLiteral("cmdOk"));
    cmdCancel_ = new QPushButton(QStringLiteral("ESC - &Cancela"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdOk_, cmdCancel_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto* grade = new QGridLayout(this);
    grade->addWidget(lblNovaSenha_, 0, 0);
    grade->addWidget(txtNovaSenha_, 0, 1);
    grade->addWidget(lblNovaSenha2_, 1, 0);
    grade->addWidget(txtNovaSenha2_, 1, 1);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(cmdOk_);
    botoes->addWidget(cmdCancel_);
    grade->addLayout(botoes, 2, 0, 1, 2);
    setTabOrder(txtNovaSenha_, txtNovaSenha2_);
    setTabOrder(txtNovaSenha2_, cmdOk_);
    setTabOrder(cmdOk_, cmdCancel_);

    InstalaEnterTab(txtNovaSenha_);
    connect(txtNovaSenha2_, &QLineEdit::returnPressed, this, [this] { cmdOk_Click(); });
    connect(cmdOk_, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    InstalaTeclasFuncao(this, {{Qt::Key_F3, cmdOk_}});

    Form_Load();
}

void FormNovaSenha::Form_Load() {
    runTrapped(ctx_, "formNovaSenha_Form_Load", 0, [&] {
        ctx_.login.NovaSenha.clear();
        const LayoutFormNovaSenha& layout = ctx_.telas.FormNovaSenha[ctx_.TipoEstab];
        lblNovaSenha_->setText(layout.txtNovaSenha.caption.trimmed());
        lblNovaSenha2_->setText(layout.txtNovaSenha2.caption.trimmed());
        txtNovaSenha_->setMaxLength(TamanhoMaximoCampo(layout.txtNovaSenha));
        txtNovaSenha2_->setMaxLength(TamanhoMaximoCampo(layout.txtNovaSenha2));
        cmdOk_->setEnabled(layout.cmdOk_Caption.enabled);
        cmdOk_->setText(layout.cmdOk_Caption.caption.trimmed());
        cmdCancel_->setEnabled(layout.cmdCancel_Caption.enabled);
        cmdCancel_->setText(layout.cmdCancel_Caption.caption.trimmed());
        adjustSize();
        CentralizaJanela(this);
        return 0;
    });
}

void FormNovaSenha::cmdOk_Click() {
    runTrapped(ctx_, "cmdOk_Click", 0, [&] {
        BusyCursor ocupado(cmdOk_);
        if (ConfirmaNovaSenha(ctx_, txtNovaSenha_->text(), txtNovaSenha2_->text())) {
            ocupado.release();
            accept();
            return 0;
        }
        if (txtNovaSenha_->isEnabled() && txtNovaSenha_->isVisible()) {
            txtNovaSenha_->setFocus();
            SelecionaCampo(txtNovaSenha_);
        }
        return 0;
    });
}

void FormNovaSenha::cmdCancel_Click() {
    reject();
}

void FormNovaSenha::reject() {
    ctx_.login.NovaSenha.clear();
    QDialog::reject();
}

void FormNovaSenha::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier) {
        if (cmdCancel_->isEnabled() && cmdCancel_->isVisible()) cmdCancel_->click();
        evento->accept();
        return;
    }
    QDialog::keyPressEvent(evento);
}

bool ExecutaFormNovaSenha(Context& ctx, QWidget* pai) {
    FormNovaSenha tela(ctx, pai);
    tela.exec();
    return !ctx.login.NovaSenha.isEmpty();
}

}  // namespace ql
