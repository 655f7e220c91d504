// Writes the demonstration store's files into the folder named on the command line:
//   quillane-demo-data DIRECTORY
// The settings point Path Server and Path CORE at that folder's absolute path, so a launcher
// that copies the data elsewhere writes its own WINQLNCORE.ini beside the program.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include "data/demo_data_set.h"

#ifndef QL_VERSION
#define QL_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillane-demo-data"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(QL_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a complete demonstration store for Quillane Client into "
                       "DIRECTORY (created when missing) and lists the files written."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("DIRECTORY"),
                                 QStringLiteral("Where the store goes, e.g. /var/lib/quillane."));
    parser.process(app);  // exits on --help, --version or an unknown option
    QTextStream err(stderr);
    QTextStream out(stdout);
    if (parser.positionalArguments().size() != 1) {
        err << "quillane-demo-data: one DIRECTORY expected (see --help)\n";
        return 2;
    }
    QString erro;
    QStringList arquivos;
    if (!ql::GeraDadosDemonstracao(parser.positionalArguments().first(), &erro, &arquivos)) {
        err << "quillane-demo-data: " << erro << "\n";
        return 1;
    }
    for (const QString& nome : arquivos) out << nome << "\n";
    return 0;
}
