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

void redrawTrend(Surface &plot, const TrendBuffer &buffer, qint16 count,
                 const ChartSettings &settings) {
    applyTraceColour(plot, settings.lineColour);
    const Scale scale = scaleOf(settings);
    if (scale.hi - scale.lo == 0 || count < 2)
        return;
    for (int slot = 1; slot < std::min<int>(count, kTrendSlots); ++slot)
        drawSegment(plot, buffer, slot, scale);
}

void drawNewestSegment(Surface &plot, const TrendBuffer &buffer, qint16 count,
                       const ChartSettings &settings) {
    applyTraceColour(plot, settings.lineColour);
    const Scale scale = scaleOf(settings);
    if (count >= 1 && count < kTrendSlots && scale.hi - scale.lo != 0)
        drawSegment(plot, buffer, count, scale);
}

void advanceTrend(Surface &plot, qint16 &count, const ChartSettings &settings) {
    ++count;
    if (count >= kTrendSlots) {
        applyChartBackground(plot, settings);
        count = 0;
    }
}

} // namespace chart
