#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace ql {

// The host frame: a message or an answer travels as four ASCII digits giving the length of
// the body, followed by that many bytes of body (Windows-1252). Inside the client a frame is
// always 3072 characters: the length, the body and blanks up to the end.
namespace framing {

inline constexpr int kFrameSize = 3072;
inline constexpr int kLengthDigits = 4;
// The longest body a 3072-character frame can carry.
inline constexpr int kMaxBodyLength = kFrameSize - kLengthDigits;

// "0095" + message + blanks to 3072 characters: the client's outgoing frame, and a received
// answer body refilled to the frame the callers of the link read. A message longer than the
// frame allows is kept whole (the frame is then longer than 3072); sendable() tells whether it
// fits.
QString buildFrame(const QString& body);

// True when a body of this many characters fits in a frame.
inline bool sendable(qsizetype bodyLength) {
    return bodyLength <= kMaxBodyLength;
}

// The body carried by a frame: the number of characters its four-digit length announces,
// taken after the length (fewer when the frame is shorter). Nothing when the first four
// characters are not all digits.
std::optional<QString> bodyOfFrame(const QString& frame);

// The bytes sent on the wire for a body: four digits of length and the Windows-1252 body.
// The length is the number of bytes (one per character in Windows-1252).
QByteArray encodeWire(const QString& body);

// Takes the bytes of a stream as they arrive and cuts them into bodies. It never looks past
// the bytes it was given: an incomplete length or body waits for more. A length that is not
// four digits, or one that announces a body longer than the frame allows, is a protocol
// error; the decoder then stays in error until reset(), as the stream can no longer be
// trusted.
class FrameDecoder {
  public:
    enum class Status {
        NeedMore,     // no complete body yet
        Body,         // body holds one complete body
        BadLength,    // the four length characters are not all digits
        BodyTooLong,  // the length announces more than the frame can hold
    };
    struct Result {
        Status status = Status::NeedMore;
        QString body;
    };

    explicit FrameDecoder(int maxBodyLength = kMaxBodyLength) : maxBody_(maxBodyLength) {}

    void feed(QByteArrayView bytes) { buffer_.append(bytes.data(), bytes.size()); }
    // The next complete body, NeedMore, or the protocol error found.
    Result next();

    // Bytes received and not yet handed out as a body.
    qsizetype pending() const { return buffer_.size(); }
    // The length announced by the body in progress, or -1 before four digits have arrived.
    int announcedLength() const;
    bool failed() const { return error_ != Status::NeedMore; }
    void reset() {
        buffer_.clear();
        error_ = Status::NeedMore;
    }

  private:
    QByteArray buffer_;
    Status error_ = Status::NeedMore;
    int maxBody_;
};

}  // namespace framing
}  // namespace ql
