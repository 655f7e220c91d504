// Writes the demonstration store's files into the folder named on the command line:
//   quillane-demo-data DIRECTORY
// The settings point Path Server and Path CORE at that folder's absolute path, so a launcher
// that copies the data elsewhere writes its own WINQLNCORE.ini beside the program.
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include "data/demo_data_set.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    QTextStream out(stdout);
    if (args.size() != 2 || args.at(1).startsWith(QLatin1Char('-'))) {
        err << "uso: quillane-demo-data PASTA\n";
        return 2;
    }
    QString erro;
    QStringList arquivos;
    if (!ql::GeraDadosDemonstracao(args.at(1), &erro, &arquivos)) {
        err << "quillane-demo-data: " << erro << "\n";
        return 1;
    }
    for (const QString& nome : arquivos) out << nome << "\n";
    return 0;
}
