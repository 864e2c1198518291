#pragma once

#include "core/alarm_watch.h"
#include "core/log_settings.h"
#include "core/zone_clock.h"
#include "log/reading_log.h"
#include "publish/publish_settings.h"
#include "publish/publisher.h"
#include "session/alarm_command.h"
#include "session/disk_watch.h"
#include "session/scale_presets.h"
#include "statistics/figures.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <memory>

namespace meter {
class SerialLine;
struct Reading;
} // namespace meter

namespace session {

/// What shows the readings taken, told at each step of a receive event in order; a logger has
/// nothing to show, so every step does nothing unless overridden.
class ReadingView {
  public:
    virtual ~ReadingView() = default;
    /// Bytes came, a frame among them or not: the receive lamp.
    virtual void bytesArrived() {}
    /// A frame decoded: its annunciators, unit and function.
    virtual void readingDecoded(const meter::Reading &) {}
    /// Vert Max and Vert Min as a reading calls for them.
    virtual void setScale(const ScaleTexts &) {}
    /// The top of the scale a light overload is valued and logged by: the one set, unless the
    /// user changed it where the scale is shown.
    virtual QString scaleTop(const QString &set) const { return set; }
    /// The scale was set: what is drawn on it is drawn again.
    virtual void scaleChanged() {}
    /// The reading's value, before it is logged: shown, kept, alarmed and plotted.
    virtual void readingValued(const meter::Reading &) {}
    /// The value is shown as the log has it: an overload's mark, a light of 0.
    virtual void valueShownAs(const QString &) {}
    /// Logged: the trend moves on.
    virtual void readingLogged() {}
    /// The reading taken through to the end: the gauges.
    virtual void readingTaken(const meter::Reading &) {}
    /// The record limit put the line off while it backs the log up.
    virtual void lineOff() {}
    /// The backup failed and the line is on again, readings taken as before the limit.
    virtual void lineOnAgain() {}
    /// The record limit emptied the log: the numbering starts again.
    virtual void logStartedAfresh() {}
    /// An alarm was raised or cleared, said in a sentence (alarmSentence).
    virtual void alarmChanged(const core::AlarmEvent &, const QString &) {}
    /// The alarms' command failed, in words for the user.
    virtual void alarmCommandFailed(const QString &) {}
    /// The data folder's disk has less than a week, or then a day, of logging left: what to do.
    virtual void diskRunningOut(const QString &) {}
};

/// An alarm's change in a sentence: "Alarm sound_above raised: 90 dB, at or above 85 dB since
/// 2026-12-08T14:03:27+01:00 (peak 90 dB)."
QString alarmSentence(const core::AlarmEvent &event, const core::ZoneClock &zone);

/// The ports a user could choose from, for messages that must say what to do.
QString portsSentence(const meter::SerialLine &line);
/// The line is open but brings nothing: what to check.
QString silenceMessage(const meter::SerialLine &line);

/// Taking a meter's readings into a log: its line, each frame decoded, numbered and logged with
/// the text its scale calls for, the record limit, and the log published where the user's
/// settings say. A window shows what is taken; a logger only logs.
class LoggingSession final : private logbook::RecordLimitHost {
  public:
    LoggingSession(meter::SerialLine &line, logbook::ReadingLog &log);
    /// The readings taken are written before the publisher leaves, so that it sends them.
    ~LoggingSession() override;
    LoggingSession(const LoggingSession &) = delete;
    LoggingSession &operator=(const LoggingSession &) = delete;

    void setView(ReadingView &view) { m_view = &view; }
    meter::SerialLine &line() { return m_line; }
    logbook::ReadingLog &log() { return m_log; }

    /// The NO the next reading gets.
    qint32 nextRecordNo() const { return m_state.nextRecordNo; }
    /// The readings are numbered from `next` on: the log was counted, emptied or replaced.
    void restartNumberingAt(qint32 next);
    /// The next reading sets the scale as the first one does.
    void resetScale() { m_state.scaleInitialised = false; }
    /// The function of the last reading taken; empty before the first.
    const QString &lastFunction() const { return m_state.lastFunction; }

    /// Sets the line as the meter sends (2400,n,8,1, binary) and opens it. False when it cannot
    /// be opened; openFailure() then says why.
    bool openLine();
    QString openFailure() const;

    /// The handler of the line's receive event: one reading from the waiting bytes, taken.
    void onSerialEvent();

    /// One of several meters: its own settings are read over the common ones, and the log's
    /// lock names its own service.
    void setMeterName(const QString &name) {
        m_meterName = name;
        m_log.lock().setMeterName(name);
    }
    /// The publishing settings: the meter's own over the common ones for one of several.
    publish::SettingsReading publishSettings() const;
    /// The alarms' settings, read the same way.
    core::AlarmSettings alarmSettings() const;
    /// [log] of the settings, the meter's own over the common ones.
    core::LogSettings logSettings() const;
    /// Watches the readings taken from now on by these alarms, in place of any before: each
    /// change told to the view, the publisher and the command. The silent meter is watched while
    /// the line is open.
    void watchAlarms(const core::AlarmSettings &settings);
    /// Publishes the log from now on, in place of any earlier publisher.
    void startPublishing(const publish::PublishSettings &settings,
                         publish::Publisher::Handlers handlers);
    /// The publisher leaves, given `waitMs` to say so to the broker.
    void stopPublishing(int waitMs = publish::Publisher::kStopWaitMs);

  private:
    /// What taking readings keeps from one to the next: the scale the readings called for, and
    /// the NO the next reading gets.
    struct TakingState {
        bool scaleInitialised = false;
        qint32 nextRecordNo = 0;
        QString lastFunction;
        QString lastUnit;
        qint16 lightDotPos = 0;
    };

    void putLineOff() override;
    void resetAfterRecordLimit() override;
    void resumeAfterFailedBackup() override;
    /// The scale of the first reading, or of one whose function changed.
    void applyFunctionScale(const meter::Reading &r, bool overload, bool first);
    void applyTemperatureUnitScale(const meter::Reading &r);
    void setScale(const ScaleTexts &texts);
    float scaleTopValue() const;
    void logReading(const meter::Reading &r, bool overload);
    void watchReading(const logbook::LogRecord &record);
    void tellAlarm(const core::AlarmEvent &event);
    /// The line has been open with no reading for silent_for.
    void raiseSilent();

    meter::SerialLine &m_line;
    logbook::ReadingLog &m_log;
    TakingState m_state;
    ReadingView m_noView;
    ReadingView *m_view = &m_noView;
    ScaleTexts m_scale;
    bool m_settingsValid = true;
    QString m_meterName;
    std::unique_ptr<publish::Publisher> m_publisher;
    core::ZoneClock m_zone;
    std::unique_ptr<core::AlarmWatch> m_watch;
    std::unique_ptr<AlarmCommand> m_command;
    QStringList m_alarmNames;
    std::optional<qint64> m_lastTaken; ///< the instant of the last reading
    std::optional<double> m_silentSeconds;
    QTimer m_silence;
    std::optional<qint64> m_silentSince; ///< while the silent alarm is raised
    DiskWatch m_disk;
    QElapsedTimer m_running;
    /// The entries of the records logged since the log was empty, for the statistics' cache at
    /// the record limit; none while the log holds records logged before.
    std::optional<stats::CompactLog> m_logged;
};

} // namespace session
