#include "chart/trend_plot.h"

#include "chart/plot_background.h"
#include "chart/surface.h"
#include "core/colour_table.h"
#include "core/number_text.h"

namespace chart {

namespace {

struct Scale {
    double hi;
    double lo;
};

Scale scaleOf(const ChartSettings &settings) {
    return {core::leadingNumber(settings.vertMax), core::leadingNumber(settings.vertMin)};
}

void drawSegment(Surface &plot, const TrendBuffer &buffer, int slot, Scale scale) {
    const QPointF from =
        trendPoint(slot - 1, buffer[slot - 1], scale.hi, scale.lo, plot.width(), plot.height());
    const QPointF to =
        trendPoint(slot, buffer[slot], scale.hi, scale.lo, plot.width(), plot.height());
    plot.line(from.x(), from.y(), to.x(), to.y());
}

} // namespace

void Trend::store(float value) {
    if (m_count >= 0 && m_count < kTrendSlots)
        m_values[std::size_t(m_count)] = value;
    if (m_extremesRestart) {
        m_lowest = m_highest = value;
        m_extremesRestart = false;
    } else {
        m_lowest = std::min(m_lowest, value);
        m_highest = std::max(m_highest, value);
    }
}

bool Trend::advance() {
    if (++m_count < kTrendSlots)
        return true;
    m_count = 0;
    return false;
}

QPointF trendPoint(int slot, double value, double hi, double lo, double width, double height) {
    // The range and the scale are kept in single precision, as the program always had them.
    const float range = float(hi - lo);
    const float scale = float(height / double(range));
    return {slot * width / kTrendSlots, height - (value - lo) * double(scale)};
}

void applyTraceColour(Surface &plot, QStringView lineColour) {
    plot.setDrawWidth(2);
    if (const auto colour = core::colourByName(lineColour))
        plot.setForeColour(*colour);
}

void redrawTrend(Surface &plot, const Trend &trend, const ChartSettings &settings) {
    applyTraceColour(plot, settings.lineColour);
    const Scale scale = scaleOf(settings);
    if (scale.hi - scale.lo == 0 || trend.count() < 2)
        return;
    for (int slot = 1; slot < std::min<int>(trend.count(), kTrendSlots); ++slot)
        drawSegment(plot, trend.values(), slot, scale);
}

void drawNewestSegment(Surface &plot, const Trend &trend, const ChartSettings &settings) {
    applyTraceColour(plot, settings.lineColour);
    const Scale scale = scaleOf(settings);
    const qint16 count = trend.count();
    if (count >= 1 && count < kTrendSlots && scale.hi - scale.lo != 0)
        drawSegment(plot, trend.values(), count, scale);
}

void advanceTrend(Surface &plot, Trend &trend, const ChartSettings &settings) {
    if (!trend.advance())
        applyChartBackground(plot, settings);
}

} // namespace chart
