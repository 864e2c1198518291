#pragma once

#include "log/reading_log.h"

#include <functional>

namespace meter {
class SerialLine;
struct Reading;
} // namespace meter

namespace window {

class ChartHandlers;
class WindowModel;
struct ScaleTexts;

/// The handler of the serial line's receive event: one reading from the waiting bytes, shown,
/// scaled, alarmed, plotted, logged and gauged, in that order.
class ReceivePipeline final : public logbook::RecordLimitHost {
  public:
    ReceivePipeline(WindowModel &model, meter::SerialLine &line, ChartHandlers &chart,
                    logbook::ReadingLog &log, std::function<void()> beep);

    void onSerialEvent();

    void putLineOff() override;
    void resetAfterRecordLimit() override;

  private:
    void showAnnunciators(const meter::Reading &r);
    void applyFirstReadingScale(const meter::Reading &r, bool overload);
    void applyFunctionChangeScale(const meter::Reading &r, bool overload);
    void applyTemperatureUnitScale(const meter::Reading &r);
    void setScale(const ScaleTexts &texts);
    void rescaleAndRedraw();
    void keepExtremes(float value);
    void raiseAlarm(float value);
    void logReading(const meter::Reading &r, bool overload);
    void showLightGauges(const meter::Reading &r);

    WindowModel &m_model;
    meter::SerialLine &m_line;
    ChartHandlers &m_chart;
    logbook::ReadingLog &m_log;
    std::function<void()> m_beep;
};

} // namespace window
