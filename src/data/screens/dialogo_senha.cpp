#include "data/screens/dialogo_senha.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <tuple>
#include <utility>

#include "data/regras_login.h"
#include "shell/layouts.h"
#include "ui/key_filters.h"
#include "ui/window_helpers.h"

namespace ql {

DialogoSenha::DialogoSenha(Context& ctx, const QString& nomeTela, const QString& titulo,
                           const Campo& primeiro, const Campo& segundo, const QString& legendaOk,
                           const QString& legendaCancel, QWidget* parent)
    : QDialog(parent), ctx_(ctx) {
    setObjectName(nomeTela);
    setWindowTitle(titulo);
    setModal(true);

    auto* grade = new QGridLayout(this);
    int linha = 0;
    for (auto [campo, rotulo, caixa] : {std::tuple{&primeiro, &lblPrimeiro_, &txtPrimeiro_},
                                        std::tuple{&segundo, &lblSegundo_, &txtSegundo_}}) {
        *rotulo = new QLabel(campo->legenda, this);
        (*rotulo)->setObjectName(QLatin1String(campo->nomeRotulo));
        *caixa = new QLineEdit(this);
        (*caixa)->setObjectName(QLatin1String(campo->nomeCaixa));
        if (campo->senha) (*caixa)->setEchoMode(QLineEdit::Password);
        (*rotulo)->setBuddy(*caixa);
        InstalaFiltraTecla(*caixa);
        InstalaSelecaoAoFocar(*caixa);
        grade->addWidget(*rotulo, linha, 0);
        grade->addWidget(*caixa, linha++, 1);
    }
    cmdOk_ = new QPushButton(legendaOk, this);
    cmdOk_->setObjectName(QStringLiteral("cmdOk"));
    cmdCancel_ = new QPushButton(legendaCancel, this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    auto* botoes = new QHBoxLayout;
    for (QPushButton* b : {cmdOk_, cmdCancel_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        botoes->addWidget(b);
    }
    grade->addLayout(botoes, 2, 0, 1, 2);
    setTabOrder(txtPrimeiro_, txtSegundo_);
    setTabOrder(txtSegundo_, cmdOk_);
    setTabOrder(cmdOk_, cmdCancel_);

    InstalaEnterTab(txtPrimeiro_);
    connect(txtSegundo_, &QLineEdit::returnPressed, this, [this] { cmdOk_Click(); });
    connect(cmdOk_, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    InstalaTeclasFuncao(this, {{Qt::Key_F3, cmdOk_}});
}

void DialogoSenha::aplicaLayout(const InputFieldSlot& primeiro, const InputFieldSlot& segundo,
                                const CommandSlot& ok, const CommandSlot& cancel) {
    lblPrimeiro_->setText(primeiro.caption.trimmed());
    lblSegundo_->setText(segundo.caption.trimmed());
    txtPrimeiro_->setMaxLength(TamanhoMaximoCampo(primeiro));
    txtSegundo_->setMaxLength(TamanhoMaximoCampo(segundo));
    for (auto [botao, comando] : {std::pair{cmdOk_, &ok}, std::pair{cmdCancel_, &cancel}}) {
        botao->setEnabled(comando->enabled);
        botao->setText(comando->caption.trimmed());
    }
    adjustSize();
    CentralizaJanela(this);
}

void DialogoSenha::focaSeDisponivel(QLineEdit* campo) {
    if (campo->isEnabled() && campo->isVisible()) {
        campo->setFocus();
        SelecionaCampo(campo);
    }
}

void DialogoSenha::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier) {
        // Esc is the cancel command: it acts only while that command is available.
        if (cmdCancel_->isEnabled() && cmdCancel_->isVisible()) cmdCancel_->click();
        evento->accept();
        return;
    }
    QDialog::keyPressEvent(evento);
}

}  // namespace ql
