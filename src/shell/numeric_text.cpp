#include "shell/numeric_text.h"

#include <cmath>
#include <limits>

namespace ql {
namespace {

bool isSkipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

template <class T>
std::optional<T> roundedTo(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = std::nearbyint(value);  // the default rounding mode sends halves to even
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max())) {
        return std::nullopt;
    }
    return static_cast<T>(r);
}

}  // namespace

double leadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skip = [&] {
        while (i < n && isSkipped(text.at(i))) ++i;
    };
    skip();
    double sign = 1;
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+')) {
        if (text.at(i) == u'-') sign = -1;
        ++i;
    }
    double whole = 0;
    double fraction = 0;
    double scale = 1;
    bool inFraction = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (isSkipped(c)) continue;
        if (c == u'.' && !inFraction) {
            inFraction = true;
            continue;
        }
        if (!isDigit(c)) break;
        const int d = c.unicode() - u'0';
        if (inFraction) {
            scale /= 10;
            fraction += d * scale;
        } else {
            whole = whole * 10 + d;
        }
    }
    return sign * (whole + fraction);
}

std::optional<qint32> toInt32(double value) {
    return roundedTo<qint32>(value);
}
std::optional<qint16> toInt16(double value) {
    return roundedTo<qint16>(value);
}

}  // namespace ql
