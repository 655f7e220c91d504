// The host's network front driven by raw sockets on loopback, and the server program stopped
// under load.
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include "host/framing.h"
#include "host/network_link.h"
#include "host/troca.h"
#include "hostsim/host_server.h"
#include "hostsim/host_simulator.h"
#include "hostsim/host_store.h"
#include "message/campo_resposta.h"
#include "shell/clock.h"
#include "support/test_context.h"

namespace ql::hostsim {
namespace {

// One framed answer body, or nothing once the host has closed the connection or after `ms`.
std::optional<QString> le(QTcpSocket& s, framing::FrameDecoder& d, int ms = 3000) {
    const QDeadlineTimer prazo(ms);
    for (;;) {
        const auto r = d.next();
        if (r.status == framing::FrameDecoder::Status::Body) return r.body;
        if (r.status != framing::FrameDecoder::Status::NeedMore || prazo.hasExpired())
            return std::nullopt;
        if (s.waitForReadyRead(500)) {
            d.feed(s.readAll());
        } else if (s.state() != QAbstractSocket::ConnectedState) {
            return std::nullopt;
        }
    }
}

// quillane-host started on a free port of loopback with its state in dir; the port, 0 when it
// did not start.
quint16 iniciaPrograma(QProcess& host, const QTemporaryDir& dir) {
    // Built with the address sanitizer, it reuses freed memory at once: its size is its own.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":quarantine_size_mb=0");
    host.setProcessEnvironment(env);
    host.start(QStringLiteral(QL_HOST_PROGRAM),
               {QStringLiteral("--data=") + dir.filePath(QStringLiteral("h.sqlite")),
                QStringLiteral("--journal-dir=") + dir.path()});
    if (!host.waitForReadyRead(15000)) return 0;
    return QString::fromLatin1(host.readLine()).section(u' ', 2).trimmed().toUShort();
}

// A raw connection to the port on loopback that has sent diz, with socket buffers of that size
// when given; -1 on failure.
int conectaBruto(quint16 porta, const char* diz = "", int buffers = 0) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const timeval espera{2, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &espera, sizeof espera);
    for (const int opcao : {SO_RCVBUF, SO_SNDBUF})
        if (buffers > 0) ::setsockopt(fd, SOL_SOCKET, opcao, &buffers, sizeof buffers);
    sockaddr_in destino{AF_INET, htons(porta), {htonl(INADDR_LOOPBACK)}, {}};
    const auto n = ssize_t(qstrlen(diz));
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&destino), sizeof destino) == 0 &&
        ::send(fd, diz, size_t(n), MSG_NOSIGNAL) == n)
        return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

const QString kConsultaMg =
    QStringLiteral("000-000=0100;011-000=800100;040-000=QUILLANE SAUDE;920-000=MG;");

class Servidor : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::unique_ptr<HostServerThread> host;
    void inicia(int ociosoMs = 5000, int quadroMs = 5000) {
        ServerOptions o;
        o.tempoOciosoMs = ociosoMs;
        o.tempoQuadroMs = quadroMs;
        host = std::make_unique<HostServerThread>(dir.filePath(QStringLiteral("h.sqlite")),
                                                  QString(), o);
        QString erro;
        ASSERT_TRUE(host->inicia(&erro)) << erro.toStdString();
    }
    bool conecta(QTcpSocket& s) {
        s.connectToHost(QStringLiteral("127.0.0.1"), host->porta());
        return s.waitForConnected(3000);
    }
};

TEST_F(Servidor, AnswersEveryRequestOfAConnectionInOrder) {
    inicia();
    QTcpSocket s;
    ASSERT_TRUE(conecta(s));
    // Two requests in one write, the second split across two writes.
    const QByteArray logon = framing::encodeWire(QStringLiteral("LOGIN|"));
    const QByteArray eleg = framing::encodeWire(QStringLiteral(
        "000-000=0100;011-000=800000;040-000=QUILLANE SAUDE;953-000=6062820000000002;"));
    s.write(logon + eleg.left(10));
    s.flush();
    s.waitForBytesWritten(1000);
    s.write(eleg.mid(10));
    framing::FrameDecoder d;
    EXPECT_EQ(le(s, d), QStringLiteral("OK"));
    const auto r = le(s, d);
    ASSERT_TRUE(r.has_value());
    EXPECT_TRUE(r->contains(QLatin1String("009-000=57;")));
    // A thousand queries in one write: their answers far pass what the host lets wait unsent,
    // so it reads on each time they have gone out.
    s.write(framing::encodeWire(kConsultaMg).repeated(1000));
    int respondidas = 0;
    while (respondidas < 1000 && le(s, d).value_or("").contains(QLatin1String("009-000=00;")))
        ++respondidas;
    EXPECT_EQ(respondidas, 1000);
}

TEST_F(Servidor, ABrokenFrameIsAnsweredOnceAndAnIdleConnectionClosed) {
    inicia(200);
    for (const char* bytes : {"12X4whatever", "00"}) {  // the second: half a length, then silence
        QTcpSocket s;
        ASSERT_TRUE(conecta(s));
        s.write(bytes);
        framing::FrameDecoder d;
        EXPECT_EQ(le(s, d), *bytes == '1' ? std::optional<QString>("200 ") : std::nullopt);
        EXPECT_TRUE(s.state() == QAbstractSocket::UnconnectedState || s.waitForDisconnected(3000));
    }
}

TEST_F(Servidor, AFrameThatTricklesInPastItsTimeIsCutOff) {
    inicia(60000, 300);
    QTcpSocket s;
    ASSERT_TRUE(conecta(s));
    s.write("0050");
    // One byte every 50 ms never leaves the connection idle, but the frame takes too long.
    bool fechada = false;
    for (int i = 0; i < 40 && !fechada; ++i) {
        s.write("x");
        s.flush();
        fechada = s.state() == QAbstractSocket::UnconnectedState || s.waitForDisconnected(50);
    }
    EXPECT_TRUE(fechada);
}

// At the limit of 256 connections a silent one makes room for a newcomer, one in the middle of
// an exchange never does, and a newcomer finding only such connections is refused.
TEST_F(Servidor, AFloodOfConnectionsNeitherCutsATerminalOffMidExchangeNorLocksOneOut) {
    // Room for 600 sockets on each side of loopback.
    rlimit limite{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limite), 0);
    if (limite.rlim_cur < 4096 && limite.rlim_cur < limite.rlim_max) {
        limite.rlim_cur = std::min<rlim_t>(4096, limite.rlim_max);
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limite), 0);
    }
    inicia(60000, 60000);
    std::vector<int> abertas;
    auto fechaTodas = qScopeGuard([&] {
        for (int fd : abertas) ::close(fd);
    });
    auto abre = [&](const char* diz) {
        abertas.push_back(conectaBruto(host->porta(), diz));
        return abertas.back() >= 0;
    };
    const QByteArray eleg = framing::encodeWire(QStringLiteral(
        "000-000=0100;011-000=800000;040-000=QUILLANE SAUDE;953-000=6062820000000001;"));
    QTcpSocket meio;  // a terminal half-way through sending its request
    ASSERT_TRUE(conecta(meio));
    meio.write(eleg.left(10));
    ASSERT_TRUE(meio.waitForBytesWritten(1000));
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(abre("")) << i;

    QTcpSocket novo;
    ASSERT_TRUE(conecta(novo));
    novo.write(eleg);
    framing::FrameDecoder d;
    EXPECT_TRUE(le(novo, d).value_or("").contains(QLatin1String("009-000=00;")));

    // Three hundred that send half a length prefix: the last ones find no room.
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(abre("00")) << i;
    pollfd recusada{abertas.back(), POLLIN, 0};
    char c;
    EXPECT_TRUE(::poll(&recusada, 1, 3000) == 1 && ::recv(abertas.back(), &c, 1, 0) <= 0);

    meio.write(eleg.mid(10));
    framing::FrameDecoder dm;
    EXPECT_TRUE(le(meio, dm).value_or("").contains(QLatin1String("009-000=00;")));
}

// A terminal that trusts the host's certificate through HOST_CA logs on over TLS, one that
// does not is refused at the handshake.
TEST_F(Servidor, ServesTlsToATerminalThatTrustsItsCertificate) {
    if (!QSslSocket::supportsSsl()) GTEST_SKIP() << "no TLS backend";
    ServerOptions o;
    o.certificadoTls = dir.filePath(QStringLiteral("c.pem"));
    o.chaveTls = dir.filePath(QStringLiteral("k.pem"));
    QProcess openssl;
    openssl.start("openssl",
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                   "subjectAltName=IP:127.0.0.1", "-keyout", o.chaveTls, "-out", o.certificadoTls});
    ASSERT_TRUE(openssl.waitForFinished(30000) && openssl.exitCode() == 0);
    host = std::make_unique<HostServerThread>(dir.filePath("t.sqlite"), QString(), o);
    QString erro;
    ASSERT_TRUE(host->inicia(&erro)) << erro.toStdString();

    test::TestContext t;
    t.ctx.config.HOST_LINK = QStringLiteral("tls://127.0.0.1:%1").arg(host->porta());
    t.ctx.config.HOST_CA = o.certificadoTls;
    t.ctx.config.HOST_TIMEOUT_MS = 5000;
    IniciaHostLink(t.ctx);
    EXPECT_TRUE(ProcessaLogon(t.ctx));
    EXPECT_TRUE(t.boxes.empty()) << t.boxes.texts().join(" | ").toStdString();

    NetworkHostLink semConfianca(HostEndpoint{true, "127.0.0.1", host->porta()}, 5000);
    QString quadro = framing::buildFrame("LOGIN|"), rota;
    EXPECT_EQ(semConfianca.Process(quadro, rota, "CHK"), HostLink::kTlsFailure);
}

// The signal goes out while every terminal has a request on its way. The host must exit with
// status 0, and its database must hold exactly the transactions whose answers reached a
// terminal: none committed and left unanswered, none answered and then lost.
TEST(Encerramento, SigtermDuringLoadAnswersEveryCommittedRequest) {
    QTemporaryDir dir;
    QProcess host;
    const quint16 porta = iniciaPrograma(host, dir);
    ASSERT_NE(porta, 0) << host.readAllStandardError().toStdString();

    constexpr int kTerminais = 6;
    std::vector<std::unique_ptr<QTcpSocket>> terminais;
    std::vector<framing::FrameDecoder> leitores(kTerminais);
    for (int i = 0; i < kTerminais; ++i) {
        terminais.push_back(std::make_unique<QTcpSocket>());
        terminais.back()->connectToHost(QStringLiteral("127.0.0.1"), porta);
        ASSERT_TRUE(terminais.back()->waitForConnected(3000));
    }
    const QByteArray pedido = framing::encodeWire(QStringLiteral(
        "000-000=0100;011-000=800000;040-000=QUILLANE SAUDE;953-000=6062820000000006;"));
    QSet<qint64> respondidas;
    int respostas = 0;
    int antesDoSinal = 0;
    for (int rodada = 0; rodada < 100; ++rodada) {
        for (auto& t : terminais) {
            t->write(pedido);
            t->flush();
        }
        if (rodada == 20) {
            antesDoSinal = respostas;
            host.terminate();
        }
        int atendidos = 0;
        for (int i = 0; i < kTerminais; ++i) {
            const std::optional<QString> resposta = le(*terminais[i], leitores[i], 5000);
            if (!resposta) continue;
            ++atendidos;
            ++respostas;
            respondidas.insert(textField(*resposta, u"012-000").toLongLong());
        }
        if (atendidos == 0) break;
    }
    ASSERT_TRUE(host.waitForFinished(20000));
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
    ASSERT_EQ(antesDoSinal, 20 * kTerminais);
    respondidas.remove(0);
    ASSERT_EQ(respondidas.size(), qsizetype(respostas)) << "every answer has an NSU of its own";

    SystemClock relogio;
    HostSimulator depois(dir.filePath(QStringLiteral("h.sqlite")), relogio);
    ASSERT_TRUE(depois.abre());
    const qint64 primeira = *std::min_element(respondidas.begin(), respondidas.end());
    const qint64 ultima = *std::max_element(respondidas.begin(), respondidas.end());
    for (qint64 nsu = primeira; nsu <= ultima + kTerminais; ++nsu) {
        SCOPED_TRACE(nsu);
        EXPECT_EQ(depois.store().transacao(nsu).has_value(), respondidas.contains(nsu));
    }
}

// A peer that pipelines product queries (each answer some twenty times its request) and never
// reads: the host stops reading it once its unsent answers pass 64 KiB, so its memory stays
// where it was, and closes the connection a frame time (5 s) later.
TEST(Memoria, APeerThatNeverReadsIsHeldUpThenClosed) {
    QTemporaryDir dir;
    QProcess host;
    const quint16 porta = iniciaPrograma(host, dir);
    ASSERT_NE(porta, 0) << host.readAllStandardError().toStdString();
    auto memoria = [&](const char* campo) {  // KiB, from the host's /proc status
        QFile f(QStringLiteral("/proc/%1/status").arg(host.processId()));
        const QByteArray status = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        return status.mid(status.indexOf(campo) + qstrlen(campo)).trimmed().split(' ')[0].toInt();
    };
    const int antes = memoria("VmRSS:");
    const int fd = conectaBruto(porta, "", 64 * 1024);
    ASSERT_GE(fd, 0);
    auto fecha = qScopeGuard([fd] { ::close(fd); });
    const QByteArray rajada = framing::encodeWire(kConsultaMg).repeated(200);
    // Requests go out until the host resets the connection (or has taken 8 MB of them).
    qint64 enviados = 0;
    while (enviados < 8 * 1024 * 1024) {
        const qsizetype de = qsizetype(enviados % rajada.size());
        const ssize_t n = ::send(fd, rajada.constData() + de, size_t(rajada.size() - de),
                                 MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            enviados += n;
            continue;
        }
        pollfd espera{fd, POLLOUT, 0};
        if (errno != EAGAIN || ::poll(&espera, 1, 15000) <= 0) break;
    }
    const int pico = memoria("VmHWM:");
    ::testing::Test::RecordProperty("crescimento_kib", pico - antes);
    EXPECT_LT(pico - antes, 8 * 1024) << "KiB, from " << antes << " with " << enviados << " sent";
    pollfd fim{fd, 0, 0};
    EXPECT_EQ(::poll(&fim, 1, 0), 1);
    EXPECT_NE(fim.revents & (POLLERR | POLLHUP), 0);
    host.terminate();
    EXPECT_TRUE(host.waitForFinished(15000));
}

}  // namespace
}  // namespace ql::hostsim
