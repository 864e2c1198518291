#pragma once

#include "session/logging_session.h"

#include <functional>
#include <map>

namespace meter {
class SerialLine;
}

namespace window {

class ChartHandlers;
class WindowModel;

/// The window's part of the receive event: each reading the session takes shown, scaled,
/// alarmed, plotted and gauged, in the order it is taken.
class ReadingDisplay final : public session::ReadingView {
  public:
    ReadingDisplay(WindowModel &model, meter::SerialLine &line, ChartHandlers &chart,
                   std::function<void()> beep);

    void bytesArrived() override;
    void readingDecoded(const meter::Reading &r) override;
    void setScale(const session::ScaleTexts &texts) override;
    /// Vert Max as the user may have changed it.
    QString scaleTop(const QString &set) const override;
    void scaleChanged() override;
    void readingValued(const meter::Reading &r) override;
    void valueShownAs(const QString &text) override;
    void readingLogged() override;
    void readingTaken(const meter::Reading &r) override;
    void lineOff() override;
    void lineOnAgain() override;
    void logStartedAfresh() override;
    void alarmChanged(const core::AlarmEvent &event, const QString &said) override;
    void alarmCommandFailed(const QString &failure) override;
    void diskRunningOut(const QString &said) override;
    /// Where the alarms raised are shown: each raised alarm's sentence, by its name; and where
    /// what the user must hear of is told (the command's failure, a disk running out).
    void setAlarmHandlers(std::function<void(const QStringList &)> shown,
                          std::function<void(const QString &)> tell) {
        m_alarmsShown = std::move(shown);
        m_tell = std::move(tell);
    }
    /// No alarm raised any more: the line went off.
    void forgetAlarms();

  private:
    void showExtremes();
    void raiseAlarm(float value);

    WindowModel &m_model;
    meter::SerialLine &m_line;
    ChartHandlers &m_chart;
    std::function<void()> m_beep;
    std::map<QString, QString> m_raised; ///< by the alarm's name, what was said of it
    std::function<void(const QStringList &)> m_alarmsShown;
    std::function<void(const QString &)> m_tell;
};

} // namespace window
