// The cashier's program: builds the process state, the on-screen message boxes and the clock,
// and runs the main window, which starts everything else. The settings come from the
// initialisation files only: the command line takes --help and --version and nothing else.
#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

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
    // No application display name: the platform would append it to every window title, and
    // each window's title is exactly its own caption.
    QApplication::setApplicationVersion(QString::fromLatin1(QL_VERSION));
    {
        QCommandLineParser parser;
        parser.setApplicationDescription(
            QStringLiteral("Point-of-sale client for pharmacy benefit cards. Its settings come "
                           "from WINQLNCORE.ini beside the program, else in /etc/quillane/."));
        const QCommandLineOption ajuda = parser.addHelpOption();
        const QCommandLineOption versao = parser.addVersionOption();
        QTextStream err(stderr);
        if (!parser.parse(QCoreApplication::arguments())) {
            err << "quillane-client: " << parser.errorText() << Qt::endl;
            return 2;
        }
        if (parser.isSet(ajuda)) parser.showHelp(0);
        if (parser.isSet(versao)) {
            QTextStream(stdout) << "quillane-client " << QL_VERSION << Qt::endl;
            return 0;
        }
        if (!parser.positionalArguments().isEmpty()) {
            err << "quillane-client: unexpected argument: " << parser.positionalArguments().first()
                << Qt::endl;
            return 2;
        }
    }

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
