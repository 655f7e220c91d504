// quillane-host: the simulated authorisation host as a network server. SIGTERM and SIGINT
// end it cleanly: no new connections or requests, the answers of committed requests sent,
// the database closed.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include <sys/signalfd.h>
#include <unistd.h>

#include "host_server.h"
#include "host_simulator.h"
#include "shell/clock.h"

#ifndef QL_VERSION
#define QL_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
    // SIGTERM and SIGINT are blocked before any thread starts (threads inherit the mask) and
    // read from a descriptor in the event loop: no work at all happens in a signal handler.
    sigset_t sinais;
    sigemptyset(&sinais);
    sigaddset(&sinais, SIGTERM);
    sigaddset(&sinais, SIGINT);
    sigprocmask(SIG_BLOCK, &sinais, nullptr);
    const int descritorSinais = signalfd(-1, &sinais, SFD_CLOEXEC | SFD_NONBLOCK);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillane-host"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(QL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated authorisation host for Quillane Client terminals."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Address and port to listen on (default 127.0.0.1:0)."),
        QStringLiteral("HOST:PORT"), QStringLiteral("127.0.0.1:0"));
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("SQLite state file, seeded with the demo data "
                                                 "when new (default quillane-host.sqlite)."),
                                  QStringLiteral("FILE"), QStringLiteral("quillane-host.sqlite"));
    const QCommandLineOption cert(QStringLiteral("tls-cert"),
                                  QStringLiteral("PEM certificate: serve TLS."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption key(QStringLiteral("tls-key"),
                                 QStringLiteral("PEM private key of the certificate."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption journal(QStringLiteral("journal-dir"),
                                     QStringLiteral("Directory for the journal files."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption idle(QStringLiteral("idle-timeout"),
                                  QStringLiteral("Seconds before an idle connection is closed "
                                                 "(default 60)."),
                                  QStringLiteral("SECONDS"), QStringLiteral("60"));
    const QCommandLineOption hold(
        QStringLiteral("hold-settlement-ms"),
        QStringLiteral("For tests only: hold the answer to every confirmation and undo this "
                       "many milliseconds after carrying it out (a terminal that stops "
                       "meanwhile). Default 0."),
        QStringLiteral("MS"), QStringLiteral("0"));
    parser.addOptions({listen, data, cert, key, journal, idle, hold});
    parser.process(app);

    QTextStream err(stderr);
    if (!parser.positionalArguments().isEmpty()) {
        err << "quillane-host: unexpected argument: " << parser.positionalArguments().first()
            << Qt::endl;
        return 2;
    }
    if (descritorSinais < 0) {
        err << "quillane-host: cannot watch for SIGTERM" << Qt::endl;
        return 1;
    }
    ql::hostsim::ServerOptions opcoes;
    const QString endereco = parser.value(listen);
    const qsizetype dois = endereco.lastIndexOf(QLatin1Char(':'));
    bool portaOk = false;
    const uint porta = dois < 0 ? 0 : endereco.mid(dois + 1).toUInt(&portaOk);
    QString host = dois < 0 ? endereco : endereco.left(dois);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    if (host == QLatin1String("localhost")) host = QStringLiteral("127.0.0.1");
    if (!portaOk || porta > 65535 || !opcoes.endereco.setAddress(host)) {
        err << "quillane-host: invalid --listen value: " << endereco << Qt::endl;
        return 2;
    }
    opcoes.porta = quint16(porta);
    bool ociosoOk = false;
    const int ocioso = parser.value(idle).toInt(&ociosoOk);
    if (!ociosoOk || ocioso <= 0) {
        err << "quillane-host: invalid --idle-timeout value" << Qt::endl;
        return 2;
    }
    opcoes.tempoOciosoMs = ocioso * 1000;
    bool retencaoOk = false;
    opcoes.retencaoLiquidacaoMs = parser.value(hold).toInt(&retencaoOk);
    if (!retencaoOk || opcoes.retencaoLiquidacaoMs < 0) {
        err << "quillane-host: invalid --hold-settlement-ms value" << Qt::endl;
        return 2;
    }
    opcoes.aoReter = [](const QString& tipo) {
        std::printf("holding the answer to a %s\n", qPrintable(tipo));
        std::fflush(stdout);
    };
    opcoes.certificadoTls = parser.value(cert);
    opcoes.chaveTls = parser.value(key);
    if (opcoes.certificadoTls.isEmpty() != opcoes.chaveTls.isEmpty()) {
        err << "quillane-host: --tls-cert and --tls-key go together" << Qt::endl;
        return 2;
    }

    ql::SystemClock relogio;
    ql::hostsim::HostSimulator simulador(parser.value(data), relogio, parser.value(journal));
    QString erro;
    if (!simulador.abre(&erro)) {
        err << "quillane-host: cannot open " << parser.value(data) << ": " << erro << Qt::endl;
        return 1;
    }
    if (!simulador.erroDiario().isEmpty())
        err << "quillane-host: journal: " << simulador.erroDiario() << Qt::endl;
    ql::hostsim::HostServer servidor(simulador, opcoes);
    if (!servidor.inicia(&erro)) {
        err << "quillane-host: cannot listen on " << endereco << ": " << erro << Qt::endl;
        return 1;
    }
    std::printf("listening on %u\n", unsigned(servidor.serverPort()));
    std::fflush(stdout);

    QSocketNotifier avisoSinal(descritorSinais, QSocketNotifier::Read);
    QObject::connect(&avisoSinal, &QSocketNotifier::activated, &app, [&] {
        signalfd_siginfo info;
        if (::read(descritorSinais, &info, sizeof info) != ssize_t(sizeof info)) return;
        avisoSinal.setEnabled(false);
        servidor.encerra();
        // A terminal that never reads its answer does not hold the host up for ever.
        QTimer::singleShot(10000, &app, [&] {
            err << "quillane-host: connections still open at exit" << Qt::endl;
            app.quit();
        });
    });
    QObject::connect(&servidor, &ql::hostsim::HostServer::encerrado, &app, &QCoreApplication::quit);
    const int saida = app.exec();
    ::close(descritorSinais);
    return saida;
}
