#pragma once

#include "session/logging_session.h"

#include <functional>

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

  private:
    void keepExtremes(float value);
    void raiseAlarm(float value);

    WindowModel &m_model;
    meter::SerialLine &m_line;
    ChartHandlers &m_chart;
    std::function<void()> m_beep;
};

} // namespace window
