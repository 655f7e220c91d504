#include "host/framing.h"

#include "shell/text_files.h"

namespace ql::framing {

namespace {

bool allDigits(QByteArrayView bytes) {
    for (char c : bytes) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int digitsValue(QByteArrayView bytes) {
    int value = 0;
    for (char c : bytes) value = value * 10 + (c - '0');
    return value;
}

}  // namespace

QString buildFrame(const QString& body) {
    QString frame = QStringLiteral("%1").arg(body.size(), kLengthDigits, 10, QLatin1Char('0'));
    frame += body;
    if (frame.size() < kFrameSize) frame += QString(kFrameSize - frame.size(), QLatin1Char(' '));
    return frame;
}

std::optional<QString> bodyOfFrame(const QString& frame) {
    if (frame.size() < kLengthDigits) return std::nullopt;
    int length = 0;
    for (int i = 0; i < kLengthDigits; ++i) {
        const QChar c = frame.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        length = length * 10 + (c.unicode() - '0');
    }
    return frame.mid(kLengthDigits, length);
}

QByteArray encodeWire(const QString& body) {
    const QByteArray bytes = toCp1252(body);
    QByteArray wire = QByteArray::number(bytes.size()).rightJustified(kLengthDigits, '0');
    wire += bytes;
    return wire;
}

int FrameDecoder::announcedLength() const {
    if (buffer_.size() < kLengthDigits) return -1;
    const QByteArrayView head(buffer_.constData(), kLengthDigits);
    return allDigits(head) ? digitsValue(head) : -1;
}

FrameDecoder::Result FrameDecoder::next() {
    if (error_ != Status::NeedMore) return {error_, {}};
    if (buffer_.size() < kLengthDigits) return {};
    const QByteArrayView head(buffer_.constData(), kLengthDigits);
    if (!allDigits(head)) {
        error_ = Status::BadLength;
        return {error_, {}};
    }
    const int length = digitsValue(head);
    if (length > maxBody_) {
        error_ = Status::BodyTooLong;
        return {error_, {}};
    }
    if (buffer_.size() < kLengthDigits + length) return {};
    Result result{Status::Body, fromCp1252(buffer_.mid(kLengthDigits, length))};
    buffer_.remove(0, kLengthDigits + length);
    return result;
}

}  // namespace ql::framing
