#pragma once

#include "core/message_boxes.h"
#include "log/reading_log.h"
#include "session/logging_session.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <optional>

namespace core {
class Clock;
}
namespace meter {
class SerialLine;
}

namespace app {

/// Where a user reads what the logger has to say: one line each, to its standard error.
class LoggerReport final : public core::MessageBoxes {
  public:
    explicit LoggerReport(QTextStream &out) : m_out(out) {}
    void say(const QString &line);
    /// Messages are kept back until released: said, or dropped when one line says it all.
    void holdMessages() { m_held.emplace(); }
    void releaseMessages(bool say);
    void showMessage(const QString &text) override;
    /// Nobody is there to answer.
    bool askYesNo(const QString &, const QString &) override { return false; }

  private:
    QTextStream &m_out;
    std::optional<QStringList> m_held;
};

/// envmeter-logger: a logging session without a window, logging every reading of one port into
/// the log of a folder exactly as the window does, and saying on `report` what a user must
/// know. It holds the log's lock for as long as it lives.
class Logger final : private session::ReadingView {
  public:
    /// Without a serial line of the caller's, the machine's port `port` (1 or 2).
    Logger(QString directory, int port, const core::Clock &clock, QTextStream &report,
           meter::SerialLine *line = nullptr);
    ~Logger();

    /// Takes the lock, reads the log and opens the line, or keeps trying once a second.
    /// False when it cannot log here: another program logs, or the log is no log; one line has
    /// said why.
    bool start();
    /// Each reading told as it is taken.
    void followReadings();
    /// One of several meters: its own settings are read over the common ones.
    void setMeterName(const QString &name) { m_session.setMeterName(name); }

  private:
    void openLine();
    /// Publishes the log where the user's settings say, if they turn it on.
    void startPublishing();
    /// Reads the log's count, which numbers the readings that follow; false when it is no log.
    bool readLog();
    /// The record limit puts the line off while it backs the log up; nobody is here to put it
    /// on again.
    void lineOff() override;
    /// Each alarm raised and cleared, a line on standard error.
    void alarmChanged(const core::AlarmEvent &event, const QString &said) override;
    void alarmCommandFailed(const QString &failure) override;
    /// The data folder's disk running out, a line on standard error.
    void diskRunningOut(const QString &said) override;
    /// The [alarm] settings watched; false, each mistake said, when they hold one.
    bool watchAlarms();
    /// The [log] settings read; false, each mistake said, when they hold one.
    bool readLogSettings();
    /// With keep_days set, the kept backups older than that retired on a thread of their own,
    /// each said in a line; at the start and after each backup made.
    void retireOldBackups();
    void logStartedAfresh() override { retireOldBackups(); }

    LoggerReport m_report;
    std::unique_ptr<meter::SerialLine> m_machineLine;
    meter::SerialLine &m_line;
    logbook::ReadingLog m_log;
    session::LoggingSession m_session;
    QTimer m_retry;
    bool m_toldClosed = false;
    const core::Clock &m_clock;
    std::optional<int> m_keepDays;
    QThreadPool m_retirement; ///< one retirement at a time, finished before the logger ends
};

} // namespace app
