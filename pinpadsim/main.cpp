// quillane-pinpad-sim: a PIN pad on a pseudo-terminal for trials, the demo and tests. Prints
// the device path on its first line, then serves until stopped (Ctrl+C or SIGTERM).
//
//   quillane-pinpad-sim [--track2 T] [--track1 T] [--after MS]
//                       [--cancel | --read-error | --no-card]
//                       [--nak-first N] [--bad-crc N] [--silent] [--garbage] [--trickle MS]
//
// Every read swipes track 2 (and track 1 when given) MS milliseconds after the pad starts
// waiting, unless --cancel (the cancel key), --read-error (a swipe with no readable track) or
// --no-card (nothing until cancelled). --nak-first refuses the first N packets, --bad-crc
// spoils the CRC of the first N answers, --silent never answers, --garbage answers noise,
// --trickle answers with a packet that never ends, a byte every MS milliseconds (0: a flood).
// --help and --version print what they say.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <algorithm>
#include <csignal>

#include "simulador_pin_pad.h"

#ifndef QL_VERSION
#define QL_VERSION "0.0.0"
#endif

namespace {

void para(int) {
    QCoreApplication::quit();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(QL_VERSION));
    QCommandLineParser linha;
    linha.setApplicationDescription(QStringLiteral("PIN pad simulator on a pseudo-terminal"));
    linha.addHelpOption();
    linha.addVersionOption();
    const QCommandLineOption trilha2({QStringLiteral("track2")}, QStringLiteral("Track 2."),
                                     QStringLiteral("T"));
    const QCommandLineOption trilha1({QStringLiteral("track1")}, QStringLiteral("Track 1."),
                                     QStringLiteral("T"));
    const QCommandLineOption apos({QStringLiteral("after")},
                                  QStringLiteral("Milliseconds before the swipe."),
                                  QStringLiteral("MS"), QStringLiteral("1500"));
    const QCommandLineOption cancela({QStringLiteral("cancel")}, QStringLiteral("Cancel key."));
    const QCommandLineOption erro({QStringLiteral("read-error")}, QStringLiteral("Bad swipe."));
    const QCommandLineOption nada({QStringLiteral("no-card")}, QStringLiteral("Never swipe."));
    const QCommandLineOption naks({QStringLiteral("nak-first")},
                                  QStringLiteral("Refuse the first N packets."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption crcs({QStringLiteral("bad-crc")},
                                  QStringLiteral("Spoil the CRC of the first N answers."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption mudo({QStringLiteral("silent")}, QStringLiteral("Never answer."));
    const QCommandLineOption ruido({QStringLiteral("garbage")}, QStringLiteral("Answer noise."));
    const QCommandLineOption gotejamento(
        {QStringLiteral("trickle")},
        QStringLiteral("Answer with a packet that never ends, a byte every MS (0: a flood)."),
        QStringLiteral("MS"));
    linha.addOptions(
        {trilha2, trilha1, apos, cancela, erro, nada, naks, crcs, mudo, ruido, gotejamento});
    linha.process(app);

    ql::pinpadsim::Roteiro roteiro;
    if (linha.isSet(trilha2)) roteiro.trilha2 = linha.value(trilha2);
    roteiro.trilha1 = linha.value(trilha1);
    roteiro.atrasoMs = linha.value(apos).toInt();
    if (linha.isSet(cancela)) roteiro.leitura = ql::pinpadsim::Roteiro::Leitura::Cancela;
    if (linha.isSet(erro)) roteiro.leitura = ql::pinpadsim::Roteiro::Leitura::ErroLeitura;
    if (linha.isSet(nada)) roteiro.leitura = ql::pinpadsim::Roteiro::Leitura::Nada;
    roteiro.naksIniciais = linha.value(naks).toInt();
    roteiro.crcsErrados = linha.value(crcs).toInt();
    roteiro.mudo = linha.isSet(mudo);
    roteiro.ruido = linha.isSet(ruido);
    if (linha.isSet(gotejamento))
        roteiro.gotejamentoMs = std::max(0, linha.value(gotejamento).toInt());

    ql::pinpadsim::SimuladorPinPad pad;
    pad.defineRoteiro(roteiro);
    if (!pad.inicia()) {
        QTextStream(stderr) << pad.erro() << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << pad.caminho() << Qt::endl;
    std::signal(SIGINT, para);
    std::signal(SIGTERM, para);
    return app.exec();
}
