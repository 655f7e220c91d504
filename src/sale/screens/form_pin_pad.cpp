#include "sale/screens/form_pin_pad.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "pinpad/pin_pad_abecs.h"
#include "shell/context.h"
#include "shell/error_routine.h"
#include "shell/error_trap.h"
#include "shell/support_log.h"
#include "shell/text_files.h"
#include "ui/window_helpers.h"

namespace ql {

FormPinPad::FormPinPad(Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("FormPinPad"));
    setWindowTitle(QStringLiteral("PinPad"));
    setModal(true);
    // The pad is the only way out: the window closes when the read ends.
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);

    auto* rotulo = new QLabel(QString::fromUtf16(kTexto), this);
    rotulo->setObjectName(QStringLiteral("Label1"));
    rotulo->setAlignment(Qt::AlignCenter);
    QFont fonte = rotulo->font();
    fonte.setBold(true);
    fonte.setPointSize(fonte.pointSize() + 2);
    rotulo->setFont(fonte);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rotulo);
    setFixedSize(sizeHint().expandedTo(QSize(380, 90)));
    CentralizaJanela(this);

    IniciaTimer1(timer1_, kEsperaMs, this, [this] { Timer1_Timer(); });
}

void FormPinPad::Timer1_Timer() {
    runTrapped(ctx_, "Timer1_Timer", 0, [&] {
        QCoreApplication::processEvents();
        timer1_.stop();
        PinPad* pad = ObtemPinPad(ctx_);
        if (!pad && LeConfiguracaoPinPad(ctx_).tipo == ConfiguracaoPinPad::Tipo::Dialogo) {
            ctx_.pinPad = std::make_unique<PinPadDialogo>();
            pad = ctx_.pinPad.get();
        }
        if (!pad) {
            MostraErro(ctx_, QStringLiteral("Timer1_Timer"), QString::fromUtf16(kErroModulo));
        } else if (pad->esperaForaDaTela()) {
            esperaFora(*pad);
        } else {
            leitura_ = LeTrilha(*pad);
            registraLeitura(*pad);
        }
        return 0;
    });
    if (!espera_) done(QDialog::Accepted);
}

void FormPinPad::registraLeitura(const PinPad& pad) {
    // Only the serial pad has something of its own to say (identity, why a read failed).
    if (const auto* serial = dynamic_cast<const PinPadAbecs*>(&pad))
        RegistraLog(ctx_, QStringLiteral("leitura do cartão: resultado %1; %2")
                              .arg(leitura_.RetornoPinPad)
                              .arg(serial->relato()));
}

void FormPinPad::esperaFora(PinPad& pad) {
    padEmEspera_ = &pad;
    espera_ = QThread::create([this, &pad] { leitura_ = LeTrilha(pad); });
    connect(espera_, &QThread::finished, this, [this, &pad] {
        registraLeitura(pad);
        espera_->deleteLater();
        espera_ = nullptr;
        padEmEspera_ = nullptr;
        done(QDialog::Accepted);
    });
    espera_->start();
}

void FormPinPad::reject() {
    // While the pad waits, Esc (or closing the window) cancels on the pad; the window closes
    // when the pad has let go.
    if (espera_) {
        padEmEspera_->cancela();
        return;
    }
    QDialog::reject();
}

FormPinPad::~FormPinPad() {
    if (espera_) {
        padEmEspera_->cancela();
        espera_->wait();
        delete espera_;
    }
}

LeituraPinPad ExecutaFormPinPad(Context& ctx, QWidget* pai) {
    // The card read holds the terminal: no timer-driven action runs into it.
    EsperaEmPrimeiroPlano espera(ctx);
    FormPinPad janela(ctx, pai);
    janela.exec();
    return janela.leitura();
}

qint32 PinPadDialogo::GetTrack(QByteArray& trilha, QString&) {
    QDialog janela;
    janela.setObjectName(QStringLiteral("PinPadSimulado"));
    janela.setWindowTitle(QStringLiteral("PinPad"));
    auto* rotulo =
        new QLabel(QStringLiteral("Passe o cartão ou digite o número e tecle Enter:"), &janela);
    auto* trilhaDigitada = new QLineEdit(&janela);
    trilhaDigitada->setObjectName(QStringLiteral("txtTrilha"));
    trilhaDigitada->setEchoMode(QLineEdit::Password);
    trilhaDigitada->setMaxLength(kTamanhoTrilha);
    auto* botoes = new QDialogButtonBox(&janela);
    auto* ok = botoes->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    auto* cancela = botoes->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cancela->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(botoes, &QDialogButtonBox::accepted, &janela, &QDialog::accept);
    QObject::connect(botoes, &QDialogButtonBox::rejected, &janela, &QDialog::reject);
    auto* layout = new QVBoxLayout(&janela);
    layout->addWidget(rotulo);
    layout->addWidget(trilhaDigitada);
    layout->addWidget(botoes);
    CentralizaJanela(&janela);

    if (janela.exec() != QDialog::Accepted) return kCancelado;
    const QByteArray texto = toCp1252(trilhaDigitada->text().trimmed()).left(kTamanhoTrilha);
    if (texto.isEmpty()) return kErroLeitura;
    if (trilha.size() < kTamanhoTrilha) trilha.resize(kTamanhoTrilha, ' ');
    trilha.replace(0, texto.size(), texto);
    return qint32(texto.size());
}

}  // namespace ql
