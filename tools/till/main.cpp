// quillane-till: what a pharmacy's till software does with the client's till interface, from
// the command line. It writes one request into TILL_DIR/req/ (under a temporary name, then
// renamed), waits for the client's answer in TILL_DIR/resp/ and prints it.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QThread>

#include "shell/text_files.h"
#include "till/till_format.h"

#ifndef QL_VERSION
#define QL_VERSION "0.0.0"
#endif

namespace {

using namespace ql;

constexpr int kUso = 2;
constexpr int kSemResposta = 3;

int falha(const QString& texto, int codigo = kUso) {
    QTextStream(stderr) << "quillane-till: " << texto << Qt::endl;
    return codigo;
}

// "EAN:QUANTITY[:PRICE_CENTS]"
std::optional<TillProduct> produto(const QString& arg) {
    const QStringList p = arg.split(QLatin1Char(':'));
    if (p.size() < 2 || p.size() > 3) return std::nullopt;
    bool okQ = false, okP = true;
    TillProduct t{p[0], p[1].toInt(&okQ), p.size() == 3 ? p[2].toLongLong(&okP) : 0};
    if (!okQ || !okP || t.ean.isEmpty()) return std::nullopt;
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillane-till"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(QL_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A till for trials and tests: sends one request through the Quillane Client's till "
        "interface and prints the answer.\n\n"
        "  venda EAN:QTY[:CENTS]...   pre-authorise and sell the basket (--documento needed)\n"
        "  confirma NSU               confirm the sale of NSU\n"
        "  desfaz NSU                 undo the sale of NSU\n"
        "  status ID                  where the request ID stands\n\n"
        "Exit status: 0 answered (the answer is printed), 2 usage or file error, 3 no answer "
        "within --timeout."));
    const QCommandLineOption ajuda = parser.addHelpOption();
    const QCommandLineOption versao = parser.addVersionOption();
    const QCommandLineOption dir({QStringLiteral("d"), QStringLiteral("dir")},
                                 QStringLiteral("The client's TILL_DIR (required)."),
                                 QStringLiteral("DIR"));
    const QCommandLineOption id(QStringLiteral("id"),
                                QStringLiteral("Request id (default: T and the time)."),
                                QStringLiteral("ID"));
    const QCommandLineOption documento(QStringLiteral("documento"),
                                       QStringLiteral("Fiscal document number (venda)."),
                                       QStringLiteral("N"));
    const QCommandLineOption operadora(QStringLiteral("operadora"),
                                       QStringLiteral("Operadora name (venda, optional)."),
                                       QStringLiteral("NAME"));
    const QCommandLineOption cartao(QStringLiteral("cartao"),
                                    QStringLiteral("Card number (venda, optional)."),
                                    QStringLiteral("NUMBER"));
    const QCommandLineOption prazo(QStringLiteral("timeout"),
                                   QStringLiteral("Seconds to wait for the answer (default "
                                                  "600; 0: do not wait)."),
                                   QStringLiteral("S"), QStringLiteral("600"));
    parser.addOptions({dir, id, documento, operadora, cartao, prazo});
    parser.addPositionalArgument(QStringLiteral("operation"),
                                 QStringLiteral("venda, confirma, desfaz or status"));
    if (!parser.parse(QCoreApplication::arguments())) return falha(parser.errorText());
    if (parser.isSet(ajuda)) parser.showHelp(0);
    if (parser.isSet(versao)) {
        QTextStream(stdout) << "quillane-till " << QL_VERSION << Qt::endl;
        return 0;
    }
    const QStringList args = parser.positionalArguments();
    if (!parser.isSet(dir)) return falha(QStringLiteral("--dir is required"));
    if (args.isEmpty()) return falha(QStringLiteral("no operation given (see --help)"));

    TillRequest p;
    p.id = parser.isSet(id)
               ? parser.value(id)
               : QStringLiteral("T") +
                     QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz"));
    if (!ValidTillId(p.id)) return falha(QStringLiteral("invalid id: ") + p.id);
    const QString op = args.first().toLower();
    if (op == u"venda") {
        p.operacao = TillOperation::Venda;
        p.documento = parser.value(documento);
        p.operadora = parser.value(operadora);
        p.cartao = parser.value(cartao);
        for (const QString& a : args.mid(1)) {
            const auto t = produto(a);
            if (!t) return falha(QStringLiteral("bad product (EAN:QTY[:CENTS]): ") + a);
            p.produtos.push_back(*t);
        }
    } else if ((op == u"confirma" || op == u"desfaz") && args.size() == 2) {
        p.operacao = op == u"confirma" ? TillOperation::Confirma : TillOperation::Desfaz;
        p.nsu = args[1];
    } else if (op == u"status" && args.size() == 2) {
        p.operacao = TillOperation::Status;
        p.consulta = args[1];
    } else {
        return falha(QStringLiteral("unknown operation or missing argument (see --help)"));
    }

    const QString raiz = parser.value(dir);
    const QString req = raiz + QStringLiteral("/req/") + p.id + QStringLiteral(".req");
    const QString resp = raiz + QStringLiteral("/resp/") + p.id + QStringLiteral(".resp");
    const QString sta = raiz + QStringLiteral("/resp/") + p.id + QStringLiteral(".sta");
    if (QFile::exists(resp)) return falha(QStringLiteral("id already answered: ") + p.id);
    {
        QFile f(req + QStringLiteral(".tmp"));
        if (!QDir().mkpath(raiz + QStringLiteral("/req")) || !f.open(QIODevice::WriteOnly) ||
            f.write(FormatTillRequest(p)) < 0 || !f.flush())
            return falha(QStringLiteral("cannot write ") + f.fileName());
        f.close();
        QFile::remove(req);
        if (!QFile::rename(f.fileName(), req)) return falha(QStringLiteral("cannot write ") + req);
    }
    QTextStream out(stdout);
    out << "request " << p.id << Qt::endl;
    const int segundos = parser.value(prazo).toInt();
    if (segundos <= 0) return 0;
    QDeadlineTimer limite(qint64(segundos) * 1000);
    while (!limite.hasExpired()) {
        if (const auto bytes = readWholeFile(resp)) {
            out << fromCp1252(*bytes);
            return 0;
        }
        // A reused id is refused in the acknowledgement.
        if (const auto bytes = readWholeFile(sta)) {
            const auto r = ParseTillAnswer(*bytes);
            if (r && r->status == QLatin1String(till_status::kErro) && !QFile::exists(req)) {
                out << fromCp1252(*bytes);
                return 0;
            }
        }
        QThread::msleep(50);
    }
    return falha(QStringLiteral("no answer within %1 s").arg(segundos), kSemResposta);
}
