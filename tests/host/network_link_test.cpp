#include <gtest/gtest.h>

#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

#include "host/framing.h"
#include "host/network_link.h"
#include "host/price_protocol.h"
#include "host/valores.h"
#include "support/scripted_link.h"
#include "support/test_context.h"

namespace ql {
namespace {

using namespace framing;

TEST(Framing, ClientFrameIsLengthMessageAndBlanksAndTheWireIsWindows1252) {
    const QString message(95, QLatin1Char('x'));
    const QString frame = buildFrame(message);
    EXPECT_EQ(frame, "0095" + message + QString(2973, QLatin1Char(' ')));
    EXPECT_EQ(buildFrame("").left(5), "0000 ");
    EXPECT_EQ(bodyOfFrame(frame), message);
    EXPECT_EQ(bodyOfFrame("00a3xyz"), std::nullopt);
    EXPECT_EQ(bodyOfFrame("0010abc"), QString("abc"));
    EXPECT_TRUE(sendable(kMaxBodyLength));
    EXPECT_FALSE(sendable(kMaxBodyLength + 1));
    EXPECT_EQ(encodeWire(QStringLiteral("AÇÃO")), QByteArray("0004A\xC7\xC3O"));
}

TEST(Framing, DecoderYieldsBodiesAsBytesArrive) {
    FrameDecoder decoder;
    const QByteArray stream =
        encodeWire("0002OK") + encodeWire("") + encodeWire(QStringLiteral("é")) + "0010abc";
    // One byte at a time: nothing is handed out before its last byte.
    QStringList bodies;
    for (char c : stream) {
        decoder.feed(QByteArrayView(&c, 1));
        for (auto r = decoder.next(); r.status != FrameDecoder::Status::NeedMore;
             r = decoder.next()) {
            ASSERT_EQ(r.status, FrameDecoder::Status::Body);
            bodies << r.body;
        }
    }
    EXPECT_EQ(bodies, QStringList({"0002OK", "", QStringLiteral("é")}));
    EXPECT_EQ(decoder.announcedLength(), 10);
    decoder.feed("defghijEXTRA");
    EXPECT_EQ(decoder.next().body, "abcdefghij");
    EXPECT_EQ(decoder.pending(), 5);  // "EXTRA" stays for the next call
}

TEST(Framing, DecoderProtocolErrors) {
    using S = FrameDecoder::Status;
    const struct {
        const char* bytes;
        int maxBody;
        S expected;
    } cases[] = {
        {"00x5hello", kMaxBodyLength, S::BadLength}, {" 005hello", kMaxBodyLength, S::BadLength},
        {"-005hello", kMaxBodyLength, S::BadLength}, {"3069", kMaxBodyLength, S::BodyTooLong},
        {"0006abcdef", 5, S::BodyTooLong},           {"3068", kMaxBodyLength, S::NeedMore},
        {"00", kMaxBodyLength, S::NeedMore},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        FrameDecoder decoder(c.maxBody);
        decoder.feed(c.bytes);
        EXPECT_EQ(decoder.next().status, c.expected);
        // An error is kept: later bytes cannot resynchronise the stream, until a reset.
        EXPECT_EQ(decoder.failed(), c.expected != S::NeedMore);
        decoder.feed("0002OK");
        if (c.expected != S::NeedMore) {
            EXPECT_EQ(decoder.next().status, c.expected);
        }
        decoder.reset();
        decoder.feed("0002OK");
        EXPECT_EQ(decoder.next().body, "OK");
    }
}

TEST(Valores, ReadingNumbers) {
    const struct {
        const char* texto;
        qint64 inteiro;
        std::optional<double> decimal;
    } cases[] = {
        {"39", 39, 39.0},         {" 040", 40, 40.0},  {"", 0, std::nullopt},
        {"12,50", 12, 12.5},      {"12.50", 12, 12.5}, {"1.250,00", 1, 1250.0},
        {"abc", 0, std::nullopt}, {"-7", -7, -7.0},    {"45x", 45, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texto);
        EXPECT_EQ(valorInteiro(QString::fromLatin1(c.texto)), c.inteiro);
        EXPECT_EQ(lerDecimal(QString::fromLatin1(c.texto)), c.decimal);
    }
}

TEST(Valores, WritingNumbers) {
    EXPECT_EQ(QStringList({formataZeros(-5, 3), formataZeros(1234, 3), formataZeros(7, 2)}),
              QStringList({"-005", "1234", "07"}));
    EXPECT_EQ(
        QStringList({formataValor(12.5), formataValor(0), formataValor(2.675), formataValor(-0.5),
                     centavosParaValor("0001250"), centavosParaValor("")}),
        QStringList({"12,50", "0,00", "2,68", "-0,50", "12,50", "0,00"}));
    EXPECT_EQ(QStringList({valorParaCentavos("12,5", 7), valorParaCentavos("", 7),
                           valorParaCentavos("8,40", 7)}),
              QStringList({"0001250", "0000000", "0000840"}));
    EXPECT_EQ(QStringList({formataCodigo("7891234", 13), formataCodigo("0000007891234", 13),
                           formataCodigo("12345678901234", 13), formataCodigo(" AB12 ", 13)}),
              QStringList({"0000007891234", "0000007891234", "12345678901234", "AB12"}));
}

// What the test server does once it has read one whole request.
enum class Behaviour { Answer, Silent, CutShort, BadLength, TooLong, Close, Trickle, Refused };

// A misbehaving host on 127.0.0.1 (an ephemeral port), served from the test's own thread:
// the link's local event loop runs it while the link waits.
class FaultServer {
  public:
    FaultServer() {
        QObject::connect(&server_, &QTcpServer::pendingConnectionAvailable, [this] { accept(); });
    }
    bool listen() { return server_.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return server_.serverPort(); }
    void close() { server_.close(); }

    Behaviour behaviour = Behaviour::Answer;
    QString answer = QStringLiteral("000-000=0110;009-000=00;");
    QStringList requests;  // bodies received

  private:
    void accept() {
        while (QTcpSocket* s = server_.nextPendingConnection()) {
            if (behaviour == Behaviour::Close) {
                s->close();
                continue;
            }
            auto decoder = std::make_shared<FrameDecoder>();
            QObject::connect(s, &QIODevice::readyRead, s, [this, s, decoder] {
                decoder->feed(s->readAll());
                const auto r = decoder->next();
                if (r.status != FrameDecoder::Status::Body) return;
                requests << r.body;
                respond(s);
            });
        }
    }
    void respond(QTcpSocket* s) {
        const QByteArray whole = encodeWire(answer);
        if (behaviour == Behaviour::Answer) s->write(whole);
        if (behaviour == Behaviour::BadLength) s->write("00x5hello");
        if (behaviour == Behaviour::TooLong) s->write("3069" + QByteArray(100, 'x'));
        if (behaviour == Behaviour::CutShort) {
            s->write(whole.left(whole.size() / 2));
            s->flush();
            s->disconnectFromHost();
        }
        for (int i = 0; behaviour == Behaviour::Trickle && i < 3; ++i) {  // 3 pieces, 20 ms apart
            const qsizetype part = (whole.size() + 2) / 3;
            QTimer::singleShot(20 * (i + 1), s,
                               [s, piece = whole.mid(i * part, part)] { s->write(piece); });
        }
    }

    QTcpServer server_;
};

HostEndpoint loopback(quint16 port) {
    return HostEndpoint{false, QStringLiteral("127.0.0.1"), port};
}

TEST(NetworkLink, ExchangesAndFaults) {
    const std::pair<Behaviour, qint32> cases[] = {
        {Behaviour::Answer, 0},
        {Behaviour::Trickle, 0},
        {Behaviour::Silent, HostLink::kTimedOut},
        {Behaviour::CutShort, HostLink::kAnswerCutShort},
        {Behaviour::BadLength, HostLink::kBadLength},
        {Behaviour::TooLong, HostLink::kAnswerTooLong},
        {Behaviour::Close, HostLink::kConnectionLost},
        {Behaviour::Refused, HostLink::kServidorForaDoAr},
    };
    for (const auto& [behaviour, expected] : cases) {
        SCOPED_TRACE(static_cast<int>(behaviour));
        FaultServer server;
        ASSERT_TRUE(server.listen());
        server.behaviour = behaviour;
        NetworkHostLink link(loopback(server.port()), 300);
        if (behaviour == Behaviour::Refused) server.close();
        const QString sent = buildFrame(QStringLiteral("000-000=0100;"));
        QString frame = sent, route = QStringLiteral("ROUTEXY");
        EXPECT_EQ(link.Process(frame, route, QStringLiteral("CHK")), expected);
        // A failed exchange leaves the caller's frame as it was.
        EXPECT_EQ(frame, expected == 0 ? buildFrame(server.answer) : sent);
        EXPECT_EQ(route, "ROUTEXY");
        if (expected == 0) {
            EXPECT_EQ(server.requests, QStringList({"000-000=0100;"}));
        }
    }
}

TEST(NetworkLink, FramesThatCannotBeSentAreRefusedBeforeConnecting) {
    NetworkHostLink link(loopback(1), 1000);
    QString route, garbled = QStringLiteral("00x1abc");
    EXPECT_EQ(link.Process(garbled, route, QStringLiteral("CHK")), HostLink::kMessageTooLong);
    QString huge = buildFrame(QString(3100, QLatin1Char('a')));
    EXPECT_EQ(link.Process(huge, route, QStringLiteral("CHK")), HostLink::kMessageTooLong);
}

// The socket errors loopback cannot produce (refused, closed, cut short and a failed handshake
// are produced above and in the simulated host's TLS test).
TEST(NetworkLink, SocketErrorsMapToResults) {
    using E = QAbstractSocket::SocketError;
    EXPECT_EQ(resultForSocketError(E::HostNotFoundError, false), -163);
    EXPECT_EQ(resultForSocketError(E::NetworkError, false), -163);
    EXPECT_EQ(resultForSocketError(E::SocketTimeoutError, false), HostLink::kTimedOut);
    EXPECT_EQ(resultForSocketError(E::UnknownSocketError, false), HostLink::kConnectionLost);
}

// The client's side of the price query; the host's side runs in the simulated host's tests.
TEST(NetworkLink, PriceLookupOverTheLink) {
    FaultServer server;
    ASSERT_TRUE(server.listen());
    server.answer = encodePriceAnswer({true, QStringLiteral("DIPIRONA;500MG"), 1250, 999});
    NetworkHostLink link(loopback(server.port()), 1000);
    QString code1 = QStringLiteral("7891234567890"), code2 = QStringLiteral("C");
    QString description(40, QLatin1Char(' ')), amount1(12, QLatin1Char(' ')),
        amount2(12, QLatin1Char(' ')), status = QStringLiteral("0000");
    EXPECT_EQ(link.GetPreco(code1, code2, description, amount1, amount2, status), 0);
    EXPECT_EQ(server.requests, QStringList({"000-000=0600;902-000=7891234567890;920-000=C;"}));
    EXPECT_EQ(description, QStringLiteral("DIPIRONA,500MG").leftJustified(40));
    EXPECT_EQ(amount1, QStringLiteral("1250        "));
    EXPECT_EQ(amount2, QStringLiteral("999         "));
    EXPECT_FALSE(decodePriceRequest("000-000=0100;902-000=123;"));

    const std::pair<QString, qint32> cases[] = {
        {encodePriceAnswer({}), HostLink::kPrecoNaoEncontrado},  // "009-000=70": not found
        {"000-000=0610;009-000=00;910-000=12,50;911-000=1;", HostLink::kBadAnswer},
        {"garbage", HostLink::kBadAnswer},
    };
    for (const auto& [answer, expected] : cases) {
        server.answer = answer;
        EXPECT_EQ(link.GetPreco(code1, code2, description, amount1, amount2, status), expected)
            << answer.toStdString();
        EXPECT_EQ(amount1, QStringLiteral("1250        "));  // left as it was
    }
}

TEST(NetworkLink, ConfigurationChoosesTheLink) {
    const std::pair<const char*, bool> cases[] = {
        {"tcp://127.0.0.1:5000", true},   {"TCP://localhost:1", true},
        {"tls://127.0.0.1:5001", true},   {"ftp://127.0.0.1:5000", false},
        {"tcp://127.0.0.1", false},       {"tcp://:5000", false},
        {"tcp://127.0.0.1:99999", false}, {"tcp://127.0.0.1:5000/path", false},
        {"127.0.0.1:5000", false},        {"embedded", false},  // no in-process host given
    };
    for (const auto& [setting, usable] : cases) {
        SCOPED_TRACE(setting);
        test::TestContext t;
        t.ctx.config.HOST_LINK = QString::fromLatin1(setting);
        // An unusable setting is told once and gives no link at all, as a missing module.
        auto link = CriaHostLink(t.ctx);
        EXPECT_EQ(dynamic_cast<NetworkHostLink*>(link.get()) != nullptr, usable);
        EXPECT_EQ(link == nullptr, !usable);
        EXPECT_EQ(t.boxes.empty(), usable);
    }

    test::TestContext t;
    t.ctx.config.HOST_LINK = QStringLiteral(" Embedded ");
    HostLink* made = nullptr;
    IniciaHostLink(t.ctx, [&](Context&) {
        auto link = std::make_unique<test::ScriptedLink>();
        made = link.get();
        return link;
    });
    EXPECT_EQ(t.ctx.hostLink.get(), made);
    EXPECT_TRUE(t.boxes.empty());

    t.ctx.config.HOST_LINK = QStringLiteral("tls://127.0.0.1:5001");
    t.ctx.config.HOST_CA = t.path("missing.pem");
    if (QSslSocket::supportsSsl()) {
        EXPECT_EQ(CriaHostLink(t.ctx), nullptr);
        EXPECT_TRUE(t.boxes.last().text.contains("HOST_CA"));
    }
}

}  // namespace
}  // namespace ql
