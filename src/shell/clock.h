#pragma once

#include <QDateTime>

namespace ql {

// The one source of the current date and time for everything the system writes or compares.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still until moved; for tests and replays.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime at) : at_(std::move(at)) {}
    QDateTime now() const override { return at_; }
    void set(QDateTime at) { at_ = std::move(at); }
    void advanceSecs(qint64 secs) { at_ = at_.addSecs(secs); }

private:
    QDateTime at_;
};

}  // namespace ql
