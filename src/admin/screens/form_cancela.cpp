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

namespace {

const QString kTituloAtencao = QStringLiteral("Atenção");

QPushButton* botao(QWidget* pai, const char* nome, const QString& texto) {
    auto* b = new QPushButton(texto, pai);
    b->setObjectName(QLatin1String(nome));
    b->setAutoDefault(false);
    return b;
}

void aplicaComando(QPushButton* b, const CommandSlot& slot) {
    b->setEnabled(slot.enabled);
    b->setText(slot.caption.trimmed());
}

}  // namespace

FormCancela::FormCancela(Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("FormCancela"));
    setWindowTitle(QStringLiteral("Cancelamento de Transação "));
    setModal(true);

    lblNSU_ = new QLabel(QStringLiteral("NSU da Operadora"), this);
    lblNSU_->setObjectName(QStringLiteral("lblNSU"));
    txtNSU_ = new QLineEdit(this);
    txtNSU_->setObjectName(QStringLiteral("txtNSU"));
    OptSemProd_ = new QRadioButton(QStringLiteral("Cancelamento de Transação &sem Produtos"), this);
    OptSemProd_->setObjectName(QStringLiteral("OptSemProd"));
    OptComPrd_ = new QRadioButton(QStringLiteral("Cancelamento de Transação com &Produtos"), this);
    OptComPrd_->setObjectName(QStringLiteral("OptComPrd"));
    OptSemProd_->setChecked(true);
    cmdOk_ = botao(this, "cmdOk", QStringLiteral("F3 - &OK"));
    cmdCancel_ = botao(this, "cmdCancel", QStringLiteral("ESC - &Cancel"));

    auto* campo = new QHBoxLayout;
    campo->addWidget(lblNSU_);
    campo->addWidget(txtNSU_, 1);
    auto* comandos = new QHBoxLayout;
    comandos->addStretch(1);
    comandos->addWidget(cmdOk_);
    comandos->addWidget(cmdCancel_);
    auto* tudo = new QVBoxLayout(this);
    tudo->addLayout(campo);
    tudo->addWidget(OptSemProd_);
    tudo->addWidget(OptComPrd_);
    tudo->addLayout(comandos);

    // The record of the current establishment type: caption and rules of the NSU field and the
    // two commands.
    const LayoutFormCancela& layout = ctx_.telas.FormCancela[ctx_.TipoEstab];
    lblNSU_->setText(layout.lblNSU.caption.trimmed());
    aplicaComando(cmdOk_, layout.cmdOk);
    aplicaComando(cmdCancel_, layout.cmdCancel);
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

    connect(cmdOk_, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    InstalaTeclasFuncao(
        this, {{Qt::Key_F3, cmdOk_}, {Qt::Key_F12, cmdCancel_}, {Qt::Key_Escape, cmdCancel_}});
    adjustSize();
    CentralizaJanela(this);
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

void FormCancela::cmdOk_Click() {
    runTrapped(ctx_, "cmdOk", 0, [&] {
        {
            BusyCursor ocupado(cmdOk_);
            if (!ValidaCampos()) {
                ocupado.release();
                if (txtNSU_->isEnabled()) txtNSU_->setFocus();
                return 0;
            }
            if (txtNSU_->text().isEmpty()) {
                ctx_.caixas.inform(QStringLiteral("Cancelamento não realizado!"), kTituloAtencao,
                                   MessageBoxes::Icon::Critical);
            } else {
                ctx_.transacao.NsuTransacao = txtNSU_->text();
                ctx_.transacao.TipoTransacao = TipoTransacaoCancelamento(OptComPrd_->isChecked());
                // A refusal or a failed exchange was already told by the cancellation itself.
                if (Mensagem_Cancelamento(ctx_, true)) {
                    InformaNumeroAutorizacao(ctx_);
                    if (GetQtdLinha(ctx_) > 0) {
                        ocupado.release();
                        ExecutaFormImpressao(ctx_, this);
                    }
                }
            }
        }
        accept();
        return 0;
    });
}

void FormCancela::cmdCancel_Click() {
    reject();
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
