// The sale driver SIGKILLed at a chosen point against quillane-host, then started again: the
// sale ends confirmed or undone on both sides.
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "hostsim/host_store.h"
#include "store/terminal_store.h"

#ifdef QL_HOST_BIN
namespace ql {
namespace {

constexpr int kEsperaMs = 60000;

// Reads the process's output until a line starting with prefixo; "" when none came in time.
QString esperaLinha(QProcess& p, const QString& prefixo, QString* saida = nullptr) {
    QDeadlineTimer prazo(kEsperaMs);
    for (;;) {
        while (p.canReadLine()) {
            const QString linha = QString::fromUtf8(p.readLine()).trimmed();
            if (saida) *saida += linha + QLatin1Char('\n');
            if (linha.startsWith(prefixo)) return linha;
        }
        if (prazo.hasExpired() || p.state() == QProcess::NotRunning) return {};
        p.waitForReadyRead(int(qMax<qint64>(1, prazo.remainingTime())));
    }
}

struct Host {
    QProcess p;
    quint16 porta = 0;
    bool inicia(const QString& banco, int retencaoMs) {
        p.start(QStringLiteral(QL_HOST_BIN),
                {QStringLiteral("--data"), banco, QStringLiteral("--hold-settlement-ms"),
                 QString::number(retencaoMs)});
        const QString linha = esperaLinha(p, QStringLiteral("listening on "));
        porta = quint16(linha.section(QLatin1Char(' '), 2).toUInt());
        return porta != 0;
    }
    ~Host() {
        p.kill();
        p.waitForFinished();
    }
};

QStringList argumentos(const QString& dir, quint16 porta, QStringList acao) {
    return QStringList{"--dir", dir, "--port", QString::number(porta)} + acao;
}

TEST(ParadaDoTerminal, KilledAtEachPointTheSaleEndsSettledOnBothSides) {
    const struct {
        const char *nome, *depois;  // what the driver does after the eligibility
        const char* ponto;          // the line after which it is killed
        bool doHost;                // that line comes from the host, else from the driver
        EstadoVenda estado;         // both sides at the end
        const char* situacaoHost;
    } casos[] = {
        {"sale request answered, answer not read", "sent", "RESPONDIDA 0200", false,
         EstadoVenda::Desfeita, "DESFEITA"},
        {"right after the approval", "stop", "APROVADA ", false, EstadoVenda::Desfeita, "DESFEITA"},
        {"confirmation held", "confirm", "holding the answer", true, EstadoVenda::Confirmada,
         "CONFIRMADA"},
        {"undo held", "undo", "holding the answer", true, EstadoVenda::Desfeita, "DESFEITA"},
    };
    QTemporaryDir raiz;
    ASSERT_TRUE(raiz.isValid());
    const QString driver = QStringLiteral(QL_DRIVER_BIN);
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nome);
        const QString dir = raiz.filePath(QString::fromLatin1(c.depois));
        const QString banco = dir + QStringLiteral("-host.sqlite");
        QString nsu;
        {
            Host host;
            ASSERT_TRUE(host.inicia(banco, 600000));
            QProcess terminal;
            terminal.start(driver, argumentos(dir, host.porta, {"sell", c.depois}));
            QString saida;
            const QString elegivel = esperaLinha(terminal, QStringLiteral("ELEGIVEL "), &saida);
            ASSERT_FALSE(elegivel.isEmpty()) << saida.toStdString();
            nsu = elegivel.section(QLatin1Char(' '), 1);
            const QString ponto = QString::fromLatin1(c.ponto);
            ASSERT_FALSE(
                (c.doHost ? esperaLinha(host.p, ponto) : esperaLinha(terminal, ponto, &saida))
                    .isEmpty())
                << saida.toStdString();
            terminal.kill();  // SIGKILL
            ASSERT_TRUE(terminal.waitForFinished());
        }

        // Started again, against a host that answers at once.
        Host host;
        ASSERT_TRUE(host.inicia(banco, 0));
        QProcess terminal;
        terminal.start(driver, argumentos(dir, host.porta, {"recover"}));
        QString saida;
        ASSERT_FALSE(esperaLinha(terminal, QStringLiteral("RECUPERADA"), &saida).isEmpty())
            << saida.toStdString();
        ASSERT_TRUE(terminal.waitForFinished());
        // Only a sale left sent or open is told to the cashier.
        EXPECT_EQ(saida.contains(QStringLiteral("CAIXA Atenção: A venda NSU ") + nsu + u','),
                  !c.doHost)
            << saida.toStdString();

        TerminalStore store(QDir(dir).filePath(QLatin1String(TerminalStore::kArquivo)));
        ASSERT_TRUE(store.abre());
        EXPECT_EQ(NomeEstado(store.venda(nsu).value().estado), NomeEstado(c.estado));
        hostsim::HostStore dadosHost(banco);
        ASSERT_TRUE(dadosHost.abre(QDateTime::currentDateTime(), nullptr));
        EXPECT_EQ(dadosHost.transacao(nsu.toLongLong()).value().situacao,
                  QLatin1String(c.situacaoHost));
    }

    // The support log of the whole run: every exchange is there, no card number is.
    const QRegularExpression numeroLongo(QStringLiteral("\\d{13,}"));
    int trocas = 0;
    for (QDirIterator it(raiz.path(), {QStringLiteral("*.log")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile arquivo(it.next());
        ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
        for (const QString& linha : QString::fromUtf8(arquivo.readAll()).split(u'\n')) {
            EXPECT_FALSE(linha.contains(numeroLongo)) << linha.toStdString();
            if (linha.contains(QLatin1String("troca: mensagem 0420")) ||
                linha.contains(QLatin1String("troca: mensagem 0202")))
                ++trocas;
        }
    }
    EXPECT_GE(trocas, 4);
}

}  // namespace
}  // namespace ql
#endif  // QL_HOST_BIN
