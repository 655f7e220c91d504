#include <gtest/gtest.h>

#include <QStringList>

#include "host/framing.h"

namespace ql::framing {
namespace {

TEST(Framing, ClientFrameIsLengthMessageAndBlanks) {
    const QString message(95, QLatin1Char('x'));
    const QString frame = buildFrame(message);
    ASSERT_EQ(frame.size(), kFrameSize);
    EXPECT_EQ(frame.left(4), "0095");
    EXPECT_EQ(frame.mid(4, 95), message);
    EXPECT_EQ(frame.mid(99), QString(2973, QLatin1Char(' ')));

    EXPECT_EQ(buildFrame("LOGIN|").left(10), "0006LOGIN|");
    EXPECT_EQ(buildFrame("").left(5), "0000 ");
    EXPECT_EQ(bodyOfFrame(frame), message);
    EXPECT_EQ(bodyOfFrame("00a3xyz"), std::nullopt);
    EXPECT_EQ(bodyOfFrame("0010abc"), QString("abc"));
    EXPECT_TRUE(sendable(kMaxBodyLength));
    EXPECT_FALSE(sendable(kMaxBodyLength + 1));
}

TEST(Framing, WireFormIsWindows1252) {
    const QByteArray wire = encodeWire(QStringLiteral("AÇÃO"));
    EXPECT_EQ(wire, QByteArray("0004A\xC7\xC3O"));
}

TEST(Framing, DecoderYieldsBodiesAsBytesArrive) {
    FrameDecoder decoder;
    const QByteArray stream =
        encodeWire("0002OK") + encodeWire("") + encodeWire(QStringLiteral("é"));
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
    EXPECT_EQ(decoder.pending(), 0);
}

TEST(Framing, DecoderWaitsForTheWholeBody) {
    FrameDecoder decoder;
    decoder.feed("0010abc");
    EXPECT_EQ(decoder.next().status, FrameDecoder::Status::NeedMore);
    EXPECT_EQ(decoder.announcedLength(), 10);
    decoder.feed("defghijEXTRA");
    const auto r = decoder.next();
    EXPECT_EQ(r.status, FrameDecoder::Status::Body);
    EXPECT_EQ(r.body, "abcdefghij");
    EXPECT_EQ(decoder.pending(), 5);  // "EXTRA" stays for the next call
}

TEST(Framing, DecoderProtocolErrors) {
    struct Case {
        const char* bytes;
        int maxBody;
        FrameDecoder::Status expected;
    };
    const Case cases[] = {
        {"00x5hello", kMaxBodyLength, FrameDecoder::Status::BadLength},
        {" 005hello", kMaxBodyLength, FrameDecoder::Status::BadLength},
        {"-005hello", kMaxBodyLength, FrameDecoder::Status::BadLength},
        {"3069", kMaxBodyLength, FrameDecoder::Status::BodyTooLong},
        {"9999", kMaxBodyLength, FrameDecoder::Status::BodyTooLong},
        {"0006abcdef", 5, FrameDecoder::Status::BodyTooLong},
        {"3068", kMaxBodyLength, FrameDecoder::Status::NeedMore},
        {"00", kMaxBodyLength, FrameDecoder::Status::NeedMore},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        FrameDecoder decoder(c.maxBody);
        decoder.feed(c.bytes);
        EXPECT_EQ(decoder.next().status, c.expected);
        // An error is kept: later bytes cannot resynchronise the stream.
        if (c.expected != FrameDecoder::Status::NeedMore) {
            EXPECT_TRUE(decoder.failed());
            decoder.feed("0002OK");
            EXPECT_EQ(decoder.next().status, c.expected);
        }
    }
    FrameDecoder decoder;
    decoder.feed("xxxx");
    EXPECT_TRUE(decoder.next().status == FrameDecoder::Status::BadLength);
    decoder.reset();
    decoder.feed("0002OK");
    EXPECT_EQ(decoder.next().body, "OK");
}

}  // namespace
}  // namespace ql::framing
