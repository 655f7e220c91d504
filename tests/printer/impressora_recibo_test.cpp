#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <optional>

#include "printer/escpos.h"
#include "printer/impressora_recibo.h"
#include "support/leitor_escpos.h"
#include "support/qstring_printer.h"
#include "support/test_context.h"

namespace ql {
namespace {

using test::LeEscPos;
using Tipo = DestinoRecibo::Tipo;

// Lines as the receipt screen lists them: products, the host's text, the final blank.
const QStringList kRecibo =
    QStringLiteral(
        "Código        Descrição            Emb\nQtd Prc.Brt.  % Desc. Prc.Liq. Prc.Rec\n\n"
        "7891234567890 DIPIRONA SÓDICA 500MG  CX\n  1    12,50   10,00    11,25    11,25\n"
        "______________________________________\nFARMÁCIA SÃO JOÃO - AUTORIZAÇÃO Nº 42\n"
        "ÁÀÂÃ ÉÊ Í ÓÔÕ Ú Ç áàâã éê í óôõ ú ç ü\n ")
        .split(u'\n');

void processaAte(const std::function<bool()>& pronto, int ms = 2000) {
    QDeadlineTimer prazo(ms);
    while (!pronto() && !prazo.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

TEST(EscPos, LinesAndAccentsComeBackExactlyInPC860ThenTheCut) {
    const QString longa = QStringLiteral("0123456789ÁÉÍÓÚ").repeated(6);  // 90 characters
    const std::tuple<QStringList, int, QStringList> casos[] = {
        {kRecibo, 48, kRecibo},
        {{longa, QStringLiteral("fim")},
         40,
         {longa.left(40), longa.mid(40, 40), longa.mid(80), QStringLiteral("fim")}},
        // Control characters from the host print as blanks; letters PC860 lacks lose the accent.
        {{QStringLiteral("A\x1b@B\x1dV\x01"
                         "C\tD Dvořák € ő")},
         48,
         {QStringLiteral("A @B V C D Dvorák ? o")}},
    };
    for (const auto& [linhas, colunas, impressas] : casos) {
        const auto lida = LeEscPos(escpos::Recibo(linhas, colunas));
        EXPECT_EQ(lida.linhas, impressas);
        EXPECT_EQ(lida.marcas, QStringList({"inicializa", "tabela 3"}) +
                                   QStringList(impressas.size(), QStringLiteral("linha")) +
                                   QStringList({"avanço 4", "corte parcial"}));
    }
    // "ç" and "ã" are 0x87 and 0x84 in PC860.
    EXPECT_EQ(escpos::CodificaLinha(QStringLiteral("çã"), escpos::kPC860), QByteArray("\x87\x84"));
}

TEST(DestinoRecibo, EveryFormOfTheSetting) {
    const struct {
        const char* valor;
        Tipo tipo;
        const char* nome;
        quint16 porta;
        qint32 baud;
    } casos[] = {
        {"", Tipo::Sistema, "", 0, 0},
        {"pdf:/tmp/recibos", Tipo::Sistema, "pdf:/tmp/recibos", 0, 0},
        {"escpos:/dev/usb/lp0", Tipo::EscPosDispositivo, "/dev/usb/lp0", 0, 0},
        {"escpos:/dev/ttyS0@9600", Tipo::EscPosSerial, "/dev/ttyS0", 0, 9600},
        {"ESCPOS:tcp://10.0.0.5", Tipo::EscPosTcp, "10.0.0.5", 9100, 0},
        {"escpos:tcp://caixa-1.loja:9101", Tipo::EscPosTcp, "caixa-1.loja", 9101, 0},
        {"escpos:file:C:\\recibos\\caixa.bin", Tipo::EscPosArquivo, "C:/recibos/caixa.bin", 0, 0},
        {"escpos:", Tipo::Invalido, "escpos:", 0, 0},
        {"escpos:tcp://h:70000", Tipo::Invalido, "escpos:tcp://h:70000", 0, 0},
        {"escpos:file:", Tipo::Invalido, "escpos:file:", 0, 0},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.valor);
        const DestinoRecibo d = InterpretaDestinoRecibo(QString::fromUtf8(c.valor));
        EXPECT_EQ(std::tie(d.tipo, d.porta, d.baud), std::tie(c.tipo, c.porta, c.baud));
        EXPECT_EQ(d.nome, QString::fromUtf8(c.nome));
        EXPECT_EQ(d.erro.isEmpty(), c.tipo != Tipo::Invalido);
    }
    EstruturaPrincipal config;
    config.PRINTER = QStringLiteral("pdf:/tmp/grades");
    EXPECT_EQ(DestinoReciboConfigurado(config).nome, "pdf:/tmp/grades");
    config.RECEIPT_PRINTER = QStringLiteral("escpos:tcp://127.0.0.1");
    EXPECT_EQ(DestinoReciboConfigurado(config).tipo, Tipo::EscPosTcp);
}

// A printer's raw port on loopback: keeps what it gets, answers the paper query with `status`
// (or not at all), or never reads.
struct PortaImpressora {
    enum class Modo { Le, NuncaLe };
    QTcpServer servidor;
    std::unique_ptr<QTcpSocket> conexao;
    QByteArray recebido;
    bool fechada = false;

    explicit PortaImpressora(std::optional<char> status, Modo modo = Modo::Le) {
        EXPECT_TRUE(servidor.listen(QHostAddress::LocalHost));
        if (modo == Modo::NuncaLe) {
            // A busy printer's small window, and the connection left unread in the queue.
            const int pequeno = 4096;
            ::setsockopt(int(servidor.socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &pequeno,
                         sizeof pequeno);
            servidor.pauseAccepting();
            return;
        }
        QObject::connect(&servidor, &QTcpServer::newConnection, [this, status] {
            conexao.reset(servidor.nextPendingConnection());
            QObject::connect(conexao.get(), &QTcpSocket::readyRead, [this, status] {
                const QByteArray bytes = conexao->readAll();
                if (status && bytes.contains(escpos::kConsultaPapel)) conexao->write(&*status, 1);
                recebido += bytes;
            });
            QObject::connect(conexao.get(), &QTcpSocket::disconnected, [this] { fechada = true; });
        });
    }
    DestinoRecibo destino() const {
        return InterpretaDestinoRecibo(
            QStringLiteral("escpos:tcp://127.0.0.1:%1").arg(servidor.serverPort()));
    }
};

TEST(ImpressoraEscPos, TcpPrinterGetsTheReceiptUnlessItIsOutOfPaper) {
    // Paper present, near its end, status not answered, paper out.
    for (const std::optional<char> status : {std::optional<char>('\x12'), {'\x1e'}, {}, {'\x72'}}) {
        SCOPED_TRACE(int(status.value_or(0)));
        const bool imprime = status != '\x72';
        PortaImpressora porta(status);
        const ResultadoImpressao r = CriaImpressoraEscPos(porta.destino(), 48)->imprime(kRecibo);
        processaAte([&] { return porta.fechada; });
        const auto lida = LeEscPos(porta.recebido);
        EXPECT_EQ(r.ok, imprime);
        EXPECT_EQ(r.erro, imprime ? "" : "A impressora de comprovantes está sem papel.");
        // The status query goes first; out of paper, nothing else follows.
        EXPECT_EQ(imprime ? lida.marcas.first() : lida.marcas.join(','), "status 4");
        EXPECT_EQ(lida.linhas, imprime ? kRecibo : QStringList());
        EXPECT_EQ(lida.cortaNoFim(), imprime);
    }
}

TEST(ImpressoraEscPos, FailuresAreToldWithinTheTimeLimit) {
    test::TestContext t;
    quint16 portaFechada = 0;
    {
        QTcpServer livre;
        ASSERT_TRUE(livre.listen(QHostAddress::LocalHost));
        portaFechada = livre.serverPort();
    }
    PortaImpressora semLeitura(std::nullopt, PortaImpressora::Modo::NuncaLe);
    // A receipt longer than what the connection buffers hold.
    const QStringList enorme(20000, QString(47, u'x'));
    const struct {
        QString destino;
        QStringList linhas;
        QString erro;
    } casos[] = {
        {QStringLiteral("escpos:tcp://127.0.0.1:%1").arg(portaFechada), kRecibo,
         QStringLiteral("A impressora de comprovantes em 127.0.0.1:%1 recusou a conexão.")
             .arg(portaFechada)},
        {QStringLiteral("escpos:tcp://127.0.0.1:%1").arg(semLeitura.servidor.serverPort()), enorme,
         "A impressora de comprovantes não recebeu o comprovante em 3 segundos."},
        {"escpos:" + t.path("lp0"), kRecibo,
         "A impressora de comprovantes " + t.path("lp0") + " não foi encontrada."},
        {"escpos:" + t.path("ttyQL") + "@9600", kRecibo,
         "A impressora de comprovantes " + t.path("ttyQL") + " não foi encontrada."},
        {"escpos:file:" + t.path("falta/recibo.bin"), kRecibo,
         "Não foi possível gravar no arquivo de impressão " + t.path("falta/recibo.bin") + ": "},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.destino.toStdString());
        QElapsedTimer relogio;
        relogio.start();
        const auto r =
            CriaImpressoraEscPos(InterpretaDestinoRecibo(c.destino), 48)->imprime(c.linhas);
        EXPECT_LT(relogio.elapsed(), kTempoLimiteImpressoraMs + 500);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.erro.startsWith(c.erro)) << r.erro.toStdString();
    }
}

TEST(ImpressoraEscPos, FileAppendsAndDevicesTakeTheBytes) {
    test::TestContext t;
    // A file: each job is appended to what is there.
    const QString arquivo = t.writeFile(QStringLiteral("recibos.bin"), QStringLiteral("antes\n"));
    auto impressora = CriaImpressoraEscPos(InterpretaDestinoRecibo("escpos:file:" + arquivo), 48);
    ASSERT_TRUE(impressora->imprime(kRecibo).ok);
    ASSERT_TRUE(impressora->imprime({QStringLiteral("segundo")}).ok);
    QFile f(arquivo);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto lida = LeEscPos(f.readAll());
    EXPECT_EQ(lida.linhas, QStringList{"antes"} + kRecibo + QStringList{"segundo"});
    EXPECT_EQ(lida.marcas.count(QStringLiteral("corte parcial")), 2);

    // A character device (a FIFO here): written as it takes the bytes.
    const QByteArray fifo = QFile::encodeName(t.path(QStringLiteral("lp0")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const int leitor = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(leitor, 0);
    EXPECT_TRUE(
        CriaImpressoraEscPos(InterpretaDestinoRecibo("escpos:" + QFile::decodeName(fifo)), 48)
            ->imprime(kRecibo)
            .ok);
    QByteArray recebido(1 << 16, '\0');
    const ssize_t n = ::read(leitor, recebido.data(), size_t(recebido.size()));
    ::close(leitor);
    ASSERT_GT(n, 0);
    recebido.truncate(n);
    EXPECT_EQ(LeEscPos(recebido).linhas, kRecibo);

    // A serial port (a pseudo-terminal here) that answers the status query.
    const int mestre = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(mestre, 0);
    ASSERT_EQ(::grantpt(mestre), 0);
    ASSERT_EQ(::unlockpt(mestre), 0);
    const QString escravo = QString::fromLocal8Bit(::ptsname(mestre));
    QByteArray serial;
    QSocketNotifier chegou(mestre, QSocketNotifier::Read);
    QObject::connect(&chegou, &QSocketNotifier::activated, [&] {
        char buf[4096];
        const ssize_t lidos = ::read(mestre, buf, sizeof buf);
        if (lidos <= 0) return;
        serial += QByteArray(buf, lidos);
        if (QByteArray(buf, lidos).contains(escpos::kConsultaPapel)) {
            [[maybe_unused]] const auto w = ::write(mestre, "\x12", 1);
        }
    });
    EXPECT_TRUE(CriaImpressoraEscPos(InterpretaDestinoRecibo("escpos:" + escravo + "@19200"), 48)
                    ->imprime(kRecibo)
                    .ok);
    processaAte([&] { return LeEscPos(serial).cortaNoFim(); });
    chegou.setEnabled(false);
    ::close(mestre);
    EXPECT_EQ(LeEscPos(serial).linhas, kRecibo);
    EXPECT_EQ(LeEscPos(serial).marcas.first(), "status 4");
}

}  // namespace
}  // namespace ql
