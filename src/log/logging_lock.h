#pragma once

#include <QLockFile>
#include <QString>

#include <functional>
#include <optional>

namespace logbook {

/// Whoever takes readings into a log holds this lock beside it, so that two processes never
/// log into one file: the window while its line is open, or envmeter-logger. A lock left by a
/// process that is gone is taken over.
class LoggingLock {
  public:
    /// The lock of the logs in `directory`.
    explicit LoggingLock(const QString &directory);

    /// Takes the lock; false when another process holds it. Taking it again is harmless.
    bool take();
    void release();
    /// The lock of one of several meters: the logger to stop is that meter's service.
    void setMeterName(const QString &name) { m_meterName = name; }
    /// Told when this process takes the lock or gives it back.
    void setHeldHandler(std::function<void(bool held)> handler) { m_held = std::move(handler); }
    bool held() const { return m_file.isLocked(); }
    /// Who else holds the lock, in words for the user ("envmeter-logger, process 1234 on
    /// host"); nothing when nobody else does.
    std::optional<QString> otherHolder();
    /// What to tell a user who wants to log, or to change the log, while another process logs;
    /// empty when none does.
    QString refusal();

  private:
    QLockFile m_file;
    QString m_meterName;
    std::function<void(bool)> m_held;
};

} // namespace logbook
