#pragma once

#include <QDateTime>

namespace core {

/// The current local date and time, as the program reads it for time stamps and the clock.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

/// The machine's clock.
class SystemClock final : public Clock {
  public:
    QDateTime now() const override;
};

/// A clock that shows what it is told, for tests.
class SettableClock final : public Clock {
  public:
    explicit SettableClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }

  private:
    QDateTime m_now;
};

} // namespace core
