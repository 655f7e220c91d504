// The card entry of the card identification screen: the typed or read card number, the
// PIN-pad read, the card and identification checks and the Enter key of each field. The layout
// and the screen's states are built in form_inicial.cpp.
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "sale/screens/form_inicial.h"
#include "shell/context.h"
#include "shell/error_trap.h"
#include "ui/busy_cursor.h"
#include "ui/window_helpers.h"

namespace ql {

namespace {

const QString kNumeroCartao = QStringLiteral("Número do Cartão");
// The label after a PIN-pad read, as the reading has always shown it.
const QString kNumeroCartaoPinPad = QStringLiteral("Numero do Cartão ");
constexpr qint16 kLeitorPinPad = 2;

}  // namespace

void FormInicial::optDigitacao_Click() {
    leitorTeclado_.reinicia();
    txtCartao_->clear();
    const qint16 maximo = ctx_.telas.FormInicial[ctx_.TipoEstab].txtCartao.maxLength;
    txtCartao_->setMaxLength(maximo > 0 ? maximo : kSemLimite);
    txtCartao_->setEchoMode(QLineEdit::Normal);
    lblCartao_->setText(kNumeroCartao);
    focaSePossivel(txtCartao_);
}

void FormInicial::optLeitura_Click() {
    leitorTeclado_.reinicia();
    txtCartao_->clear();
    txtCartao_->setMaxLength(kSemLimite);
    txtCartao_->setEchoMode(QLineEdit::Password);
    lblCartao_->setText(kNumeroCartao);
    focaSePossivel(txtCartao_);
}

void FormInicial::cmdConfirmaOper_Click() {
    runTrapped(ctx_, "cmdConfirmaOper_Click", 0, [&] {
        if (cbOperadora_->currentText().trimmed().isEmpty()) {
            ctx_.caixas.inform(QStringLiteral("Selecione uma operadora!"),
                               QStringLiteral("Atenção"), MessageBoxes::Icon::Critical);
            return 0;
        }
        BusyCursor ocupado(cmdConfirmaOper_);
        lblCartao_->show();
        txtCartao_->show();
        cmdConfirmaOper_->hide();
        cmdConfirmaCartao_->show();
        cmdAdmin_->setEnabled(false);
        cmdLimpa_->setEnabled(true);
        focaSePossivel(txtCartao_);
        if (modoEntrada() == ModoEntradaCartao::Leitura) {
            optDigitacao_->hide();
            optLeitura_->hide();
            optLeitura_Click();
            if (ctx_.config.LEITOR_TYPE == kLeitorPinPad) {
                const LeituraPinPad leitura = leitorPinPad_(ctx_, this);
                if (leitura.RetornoPinPad >= 0) {
                    lblCartao_->setText(kNumeroCartaoPinPad);
                    txtCartao_->setText(leitura.TrilhaCartao.trimmed());
                    ocupado.release();
                    cmdConfirmaCartao_Click();
                } else {
                    const QString mensagem = MensagemRetornoPinPad(leitura.RetornoPinPad);
                    if (!mensagem.isEmpty()) {
                        ctx_.caixas.inform(mensagem, QString::fromUtf16(kTituloLeituraCartao),
                                           MessageBoxes::Icon::Critical);
                    }
                    ocupado.release();
                    cmdLimpa_Click();
                }
            }
        } else {
            optDigitacao_Click();
            optDigitacao_->hide();
            optLeitura_->hide();
        }
        return 0;
    });
}

void FormInicial::mostraRecusa(const RecusaIdentificacao& recusa) {
    ctx_.caixas.inform(recusa.mensagem, QString::fromUtf16(kTituloLogin), MessageBoxes::Icon::None);
    QLineEdit* campo = recusa.campo == CampoIdentificacao::Campo1   ? txtCampo1_
                       : recusa.campo == CampoIdentificacao::Campo2 ? txtCampo2_
                                                                    : txtCartao_;
    if (usavel(campo) && !campo->isReadOnly()) {
        campo->setFocus(Qt::OtherFocusReason);
        SelecionaCampo(campo);
    }
}

bool FormInicial::ValidaCartao() {
    return runTrapped(ctx_, "ValidaCartao", false, [&] {
        const auto recusa = ql::ValidaCartao(txtCartao_->text(), modoEntrada(),
                                             ctx_.telas.FormInicial[ctx_.TipoEstab].txtCartao);
        if (recusa) mostraRecusa(*recusa);
        return !recusa;
    });
}

bool FormInicial::ValidaIdentificacao() {
    return runTrapped(ctx_, "ValidaIdentificacao", false, [&] {
        const int i = ctx_.ident.OperadoraSelecionada;
        const RegistroOperadora* op = ctx_.operadoras.contem(i) ? &ctx_.operadoras.at(i) : nullptr;
        DadosIdentificacaoTela dados{txtCartao_->text(), txtCampo1_->text(), txtCampo2_->text(),
                                     modoEntrada()};
        const auto recusa =
            ql::ValidaIdentificacao(dados, ctx_.telas.FormInicial[ctx_.TipoEstab].txtCartao,
                                    ctx_.telas.FormLogin[ctx_.TipoEstab].txtUserName.kind, op);
        if (recusa) mostraRecusa(*recusa);
        return !recusa;
    });
}

void FormInicial::cmdConfirmaCartao_Click() {
    runTrapped(ctx_, "cmdConfirmaCartao_Click", 0, [&] {
        cartaoAceitoPorEnter_ = false;
        BusyCursor ocupado(cmdConfirmaCartao_);
        if (!ValidaCartao()) return 0;
        ctx_.ident.NumeroCartao = txtCartao_->text().trimmed().toUpper();
        HabilitaCampo();
        TravaCampo(true);
        cmdConfirmaCartao_->hide();
        if (usavel(txtCampo1_)) {
            txtCampo1_->setFocus(Qt::OtherFocusReason);
        } else {
            focaSePossivel(BtnPreVenda_);
        }
        optDigitacao_->hide();
        optLeitura_->hide();
        cartaoAceitoPorEnter_ = true;
        return 0;
    });
}

EstadoComandos FormInicial::estadoComandos() const {
    return EstadoComandos{usavel(BtnPreVenda_), usavel(cmdVenda_), usavel(txtCampo1_),
                          usavel(txtCampo2_)};
}

void FormInicial::executaAcao(AcaoEnter acao) {
    switch (acao) {
        case AcaoEnter::Autorizacao:
            cmdVenda_Click();
            break;
        case AcaoEnter::PreAutorizacao:
            BtnPreVenda_Click();
            break;
        case AcaoEnter::ProximoCampo:
            EnterTab(this);
            break;
        case AcaoEnter::FocaCampo1:
            txtCampo1_->setFocus(Qt::OtherFocusReason);
            break;
        case AcaoEnter::FocaCampo2:
            txtCampo2_->setFocus(Qt::OtherFocusReason);
            break;
        case AcaoEnter::Nenhuma:
            break;
    }
}

void FormInicial::txtCartao_KeyPress() {
    runTrapped(ctx_, "txtCartao_KeyPress", 0, [&] {
        if (txtCartao_->isReadOnly()) return 0;
        const auto modo = modoEntrada() == ModoEntradaCartao::Leitura
                              ? LeitorCartaoTeclado::Modo::Leitura
                              : LeitorCartaoTeclado::Modo::Digitacao;
        if (!leitorTeclado_.tecla(teclas::Enter, modo)) return 0;
        cmdConfirmaCartao_Click();
        if (cartaoAceitoPorEnter_) {
            cartaoAceitoPorEnter_ = false;
            executaAcao(AcaoAposCartao(estadoComandos()));
        }
        return 0;
    });
}

void FormInicial::txtCampo_KeyPress(int campo) {
    runTrapped(ctx_, campo == 1 ? "txtCampo1_KeyPress" : "txtCampo2_KeyPress", 0, [&] {
        executaAcao(AcaoEnterCampo(campo, estadoComandos()));
        return 0;
    });
}

bool FormInicial::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        const bool enter = tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
        if (enter && !(tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (objeto == txtCartao_) {
                txtCartao_KeyPress();
                return true;
            }
            if (objeto == txtCampo1_ || objeto == txtCampo2_) {
                // The value is kept as when the field is left.
                auto* c = static_cast<QLineEdit*>(objeto);
                (c == txtCampo1_ ? ctx_.ident.ValorCampo1 : ctx_.ident.ValorCampo2) =
                    c->text().trimmed().toUpper();
                txtCampo_KeyPress(c == txtCampo1_ ? 1 : 2);
                return true;
            }
            if (objeto == cbOperadora_) {
                cmdConfirmaOper_Click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

}  // namespace ql
