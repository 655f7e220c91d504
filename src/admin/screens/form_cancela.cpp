#include "admin/screens/form_cancela.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "admin/cancelamento.h"
#include "host/transacoes.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "shell/screens/form_principal.h"
#include "ui/busy_cursor.h"
#include "ui/key_filters.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

FormCancela::FormCancela(Context& ctx, QWidget* parent)
    : DialogoCancelamento(ctx, QStringLiteral("FormCancela"),
                          QStringLiteral("Cancelamento de Transação "), parent) {
    lblNSU_ = new QLabel(QStringLiteral("NSU da Operadora"), this);
    lblNSU_->setObjectName(QStringLiteral("lblNSU"));
    txtNSU_ = new QLineEdit(this);
    txtNSU_->setObjectName(QStringLiteral("txtNSU"));
    OptSemProd_ = new QRadioButton(QStringLiteral("Cancelamento de Transação &sem Produtos"), this);
    OptSemProd_->setObjectName(QStringLiteral("OptSemProd"));
    OptComPrd_ = new QRadioButton(QStringLiteral("Cancelamento de Transação com &Produtos"), this);
    OptComPrd_->setObjectName(QStringLiteral("OptComPrd"));
    OptSemProd_->setChecked(true);

    auto* campo = new QHBoxLayout;
    campo->addWidget(lblNSU_);
    campo->addWidget(txtNSU_, 1);
    corpo()->addLayout(campo);
    corpo()->addWidget(OptSemProd_);
    corpo()->addWidget(OptComPrd_);

    // The record of the current establishment type: caption and rules of the NSU field and the
    // two commands.
    const LayoutFormCancela& layout = ctx_.telas.FormCancela[ctx_.TipoEstab];
    AplicaLegenda(lblNSU_, layout.lblNSU.caption);
    if (layout.lblNSU.maxLength > 0) txtNSU_->setMaxLength(layout.lblNSU.maxLength);
    const bool numerico = layout.lblNSU.numbersOnly();
    new KeyRuleFilter(txtNSU_, [numerico](EstadoCampo&, int tecla) {
        return ResultadoTecla{TeclaCampoNsu(numerico, tecla), 0};
    });
    if (numerico) {
        // Pasted text skips the key rule: keep only what could have been typed.
        connect(txtNSU_, &QLineEdit::textChanged, this, [this](const QString& texto) {
            QString filtrado;
            for (QChar c : texto)
                if (TeclaCampoNsu(true, c.unicode()) != 0) filtrado += c;
            if (filtrado != texto) txtNSU_->setText(filtrado);
        });
    }
    criaComandos(layout.cmdOk, layout.cmdCancel);
}

void FormCancela::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (txtNSU_->isEnabled()) txtNSU_->setFocus();
}

bool FormCancela::ValidaCampos() {
    const int minimo = ctx_.telas.FormCancela[ctx_.TipoEstab].lblNSU.minLength;
    const QString mensagem = ValidaCampoNsu(txtNSU_->text(), minimo);
    if (mensagem.isEmpty()) return true;
    ctx_.caixas.inform(mensagem, kTituloAtencao, MessageBoxes::Icon::Critical);
    return false;
}

bool FormCancela::enviaCancelamento(BusyCursor& ocupado) {
    if (!ValidaCampos()) {
        ocupado.release();
        if (txtNSU_->isEnabled()) txtNSU_->setFocus();
        return false;
    }
    if (txtNSU_->text().isEmpty()) {
        ctx_.caixas.inform(QStringLiteral("Cancelamento não realizado!"), kTituloAtencao,
                           MessageBoxes::Icon::Critical);
        return true;
    }
    ctx_.transacao.NsuTransacao = txtNSU_->text();
    ctx_.transacao.TipoTransacao = TipoTransacaoCancelamento(OptComPrd_->isChecked());
    // A refusal or a failed exchange was already told by the cancellation itself.
    ConcluiCancelamento(ctx_, Mensagem_Cancelamento(ctx_, true), false, this, ocupado);
    return true;
}

void ExecutaFormCancela(FormPrincipal& principal) {
    Context& ctx = principal.contexto();
    runTrapped(ctx, "ExecutaFormCancela", 0, [&] {
        FormCancela dialogo(ctx, &principal);
        dialogo.exec();
        return 0;
    });
}

}  // namespace ql
