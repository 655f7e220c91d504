// The host's network front, driven by raw sockets on loopback: several requests on one
// connection, a broken frame, an idle connection.
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "host/framing.h"
#include "hostsim/host_server.h"

namespace ql::hostsim {
namespace {

class Servidor : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::unique_ptr<HostServerThread> host;

    void inicia(int ociosoMs = 5000) {
        ServerOptions o;
        o.tempoOciosoMs = ociosoMs;
        host = std::make_unique<HostServerThread>(dir.filePath(QStringLiteral("h.sqlite")),
                                                  QString(), o);
        QString erro;
        ASSERT_TRUE(host->inicia(&erro)) << erro.toStdString();
    }
    bool conecta(QTcpSocket& s) {
        s.connectToHost(QStringLiteral("127.0.0.1"), host->porta());
        return s.waitForConnected(3000);
    }
    // Reads one framed answer body, or nothing after 3 s.
    static std::optional<QString> le(QTcpSocket& s, framing::FrameDecoder& d) {
        QElapsedTimer relogio;
        relogio.start();
        for (;;) {
            auto r = d.next();
            if (r.status == framing::FrameDecoder::Status::Body) return r.body;
            if (r.status != framing::FrameDecoder::Status::NeedMore) return std::nullopt;
            if (relogio.elapsed() > 3000 || !s.waitForReadyRead(500)) {
                if (relogio.elapsed() > 3000) return std::nullopt;
                continue;
            }
            d.feed(s.readAll());
        }
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
}

TEST_F(Servidor, ABrokenFrameIsAnsweredOnceAndTheConnectionClosed) {
    inicia();
    QTcpSocket s;
    ASSERT_TRUE(conecta(s));
    s.write("12X4whatever");
    framing::FrameDecoder d;
    EXPECT_EQ(le(s, d), QStringLiteral("200 "));
    EXPECT_TRUE(s.state() == QAbstractSocket::UnconnectedState || s.waitForDisconnected(3000));
}

TEST_F(Servidor, AnIdleConnectionIsClosed) {
    inicia(200);
    QTcpSocket s;
    ASSERT_TRUE(conecta(s));
    s.write("00");  // half a length, then silence
    EXPECT_TRUE(s.waitForDisconnected(3000));
}

}  // namespace
}  // namespace ql::hostsim

#include <QProcess>
#include <QSslSocket>

#include "host/network_link.h"
#include "host/troca.h"
#include "support/test_context.h"

namespace ql::hostsim {
namespace {

TEST_F(Servidor, ServesTlsWithItsCertificate) {
    if (!QSslSocket::supportsSsl()) GTEST_SKIP() << "no TLS backend";
    const QString cert = dir.filePath(QStringLiteral("c.pem"));
    const QString chave = dir.filePath(QStringLiteral("k.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                   chave, QStringLiteral("-out"), cert, QStringLiteral("-days"),
                   QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        GTEST_SKIP() << "openssl could not make a test certificate";

    ServerOptions o;
    o.certificadoTls = cert;
    o.chaveTls = chave;
    host =
        std::make_unique<HostServerThread>(dir.filePath(QStringLiteral("t.sqlite")), QString(), o);
    QString erro;
    ASSERT_TRUE(host->inicia(&erro)) << erro.toStdString();

    test::TestContext t;
    t.ctx.hostLink = std::make_unique<NetworkHostLink>(
        HostEndpoint{true, QStringLiteral("127.0.0.1"), host->porta()}, 5000,
        QSslCertificate::fromPath(cert));
    EXPECT_TRUE(ProcessaLogon(t.ctx));
    EXPECT_TRUE(t.boxes.empty());

    // A terminal that does not trust the certificate gets no answer.
    test::TestContext semConfianca;
    semConfianca.ctx.hostLink = std::make_unique<NetworkHostLink>(
        HostEndpoint{true, QStringLiteral("127.0.0.1"), host->porta()}, 5000);
    EXPECT_FALSE(ProcessaLogon(semConfianca.ctx));
}

}  // namespace
}  // namespace ql::hostsim
