#include <gtest/gtest.h>

#include <QStringList>

#include "host/framing.h"

namespace ql::framing {
namespace {

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
        {"9999", kMaxBodyLength, S::BodyTooLong},    {"0006abcdef", 5, S::BodyTooLong},
        {"3068", kMaxBodyLength, S::NeedMore},       {"00", kMaxBodyLength, S::NeedMore},
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

}  // namespace
}  // namespace ql::framing
