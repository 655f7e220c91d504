// The cashier's program: builds the process state, the on-screen message boxes and the clock,
// and runs the main window, which starts everything else. The settings come from the
// initialisation files only: the command line takes --help and --version and nothing else.
#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <QTimer>

#include <sys/stat.h>

#include "host/host_link.h"
#include "shell/clock.h"
#include "shell/context.h"
#include "shell/screens/form_principal.h"
#include "shell/support_log.h"
#include "store/settlement.h"
#include "till/till_session.h"
#include "ui/icone_programa.h"
#include "ui/qt_message_boxes.h"
#include "ui/telas.h"

#ifdef QL_HAVE_HOSTSIM
#include "hostsim/embedded_host_link.h"
#endif

#ifndef QL_VERSION
#define QL_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
    // Nothing the program creates is for other accounts: the store, the log, the export
    // files, the users and permissions files, the prints.
    ::umask(077);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QlnClient"));
    // No application display name: the platform would append it to every window title, and
    // each window's title is exactly its own caption.
    QApplication::setApplicationVersion(QString::fromLatin1(QL_VERSION));
    // Also the windows shown before or without the main window as their parent.
    QApplication::setWindowIcon(ql::IconePrograma());
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
    // Then the support log notes the start, and the sales the last run left open are settled.
    ganchos.configuracaoCarregada = [](ql::FormPrincipal& janela) {
        ql::Context& contexto = janela.contexto();
#ifdef QL_HAVE_HOSTSIM
        ql::IniciaHostLink(contexto, ql::hostsim::embeddedHostLinkFactory());
#else
        ql::IniciaHostLink(contexto);
#endif
        ql::RegistraInicioPrograma(contexto, QString::fromLatin1(QL_VERSION));
        // A till's confirmation or undo left in its folder is settled with the sales.
        ql::RecuperaComCaixa(contexto);
    };
    ganchos.abreFormInicial = [](ql::FormPrincipal& janela) { ql::AbreFormInicial(janela); };
    ganchos.abreFormMensLogon = [](ql::FormPrincipal& janela) { ql::ExecutaFormMensLogon(janela); };

    ql::FormPrincipal janela(ctx, std::move(ganchos));
    caixas.setParentWindow(&janela);
    if (!janela.MDIForm_Load()) return 1;
    // At each tick of the logon timer the pending confirmations and undos are sent again, when
    // the terminal is idle.
    QObject::connect(&janela.Timer1(), &QTimer::timeout, &janela,
                     [&ctx] { ql::LiquidaPendentes(ctx); });
    janela.show();
    ql::LigaInterfaceCaixa(janela);
    if (ctx.till) QTimer::singleShot(0, ctx.till.get(), [&ctx] { ctx.till->inicia(); });
    const int saida = app.exec();
    ql::RegistraFimPrograma(ctx, QString::fromLatin1(QL_VERSION));
    return saida;
}
