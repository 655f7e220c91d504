#include "admin/screens/form_mens_logon.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "admin/menu_administrativo.h"
#include "shell/context.h"
#include "shell/screens/form_principal.h"
#include "ui/telas.h"
#include "ui/window_helpers.h"

namespace ql {

FormMensLogon::FormMensLogon(FormPrincipal& principal)
    : QDialog(&principal, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      principal_(principal),
      ctx_(principal.contexto()) {
    setObjectName(QStringLiteral("FormMensLogon"));
    setWindowTitle(QStringLiteral("Logon"));
    setModal(true);
    lblMensagem_ =
        new QLabel(QStringLiteral("Aguarde um momento o Logon está sendo realizado agora"), this);
    lblMensagem_->setObjectName(QStringLiteral("lblMensagem"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMensagem_);
    adjustSize();

    // Two logons never overlap: the main window's check waits until this one is over.
    principal_.Timer1().stop();
    CentralizaJanela(this);

    IniciaTimer1(timer1_, kEsperaMs, this, [this] { Timer1_Timer(); });
}

void FormMensLogon::Timer1_Timer() {
    if (terminado_) return;
    // Let the window finish painting before the exchange blocks the screen.
    QCoreApplication::processEvents();
    timer1_.stop();
    aceito_ = RealizaLogon(ctx_);
    terminado_ = true;
    accept();
    principal_.Timer1().start();
}

void FormMensLogon::keyPressEvent(QKeyEvent* evento) {
    // The window only waits: Esc cannot abandon a logon half done.
    if (evento->key() == Qt::Key_Escape) {
        evento->accept();
        return;
    }
    QDialog::keyPressEvent(evento);
}

void FormMensLogon::reject() {
    if (terminado_) QDialog::reject();
}

void ExecutaFormMensLogon(FormPrincipal& principal) {
    FormMensLogon tela(principal);
    tela.exec();
}

}  // namespace ql
