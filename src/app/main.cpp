// The cashier's program: builds the process state, the on-screen message boxes and the clock,
// and runs the main window, which starts everything else.
#include <QApplication>

#include "host/host_link.h"
#include "shell/clock.h"
#include "shell/context.h"
#include "shell/screens/form_principal.h"
#include "ui/qt_message_boxes.h"
#include "ui/telas.h"

#ifdef QL_HAVE_HOSTSIM
#include "hostsim/embedded_host_link.h"
#endif

#ifndef QL_VERSION
#define QL_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QlnClient"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillane Client"));
    QApplication::setApplicationVersion(QString::fromLatin1(QL_VERSION));

    ql::QtMessageBoxes caixas;
    ql::SystemClock relogio;
    ql::Context ctx(caixas, relogio);
    ctx.programDir = QCoreApplication::applicationDirPath();

    ql::FormPrincipal::Ganchos ganchos;
    // The host link HOST_LINK names is opened once the settings are known; "embedded" runs the
    // simulated host in-process on the data of the Path Server directory.
    ganchos.configuracaoCarregada = [](ql::FormPrincipal& janela) {
#ifdef QL_HAVE_HOSTSIM
        ql::IniciaHostLink(janela.contexto(), ql::hostsim::embeddedHostLinkFactory());
#else
        ql::IniciaHostLink(janela.contexto());
#endif
    };
    ganchos.abreFormInicial = [](ql::FormPrincipal& janela) { ql::AbreFormInicial(janela); };
    ganchos.abreFormMensLogon = [](ql::FormPrincipal& janela) { ql::ExecutaFormMensLogon(janela); };

    ql::FormPrincipal janela(ctx, std::move(ganchos));
    caixas.setParentWindow(&janela);
    if (!janela.MDIForm_Load()) return 1;
    janela.show();
    return app.exec();
}
