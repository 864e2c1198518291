#include "chart/history_plot.h"

#include "chart/plot_background.h"
#include "chart/surface.h"
#include "chart/trend_plot.h"
#include "core/number_text.h"
#include "core/reading_texts.h"

#include <cmath>
#include <optional>

namespace chart {

namespace {

std::optional<double> slotValue(const QString &data, double vertMax) {
    if (data == core::kLightOverloadText || data == core::kLightOverloadPointText)
        return vertMax;
    return core::strictNumber(data);
}

HistoryExtremes extremesOf(const QStringList &data) {
    HistoryExtremes extremes;
    extremes.min = extremes.max = float(core::leadingNumber(data.value(0)));
    for (const QString &text : data) {
        const float value = float(core::leadingNumber(text));
        if (value > extremes.max)
            extremes.max = value;
        if (value < extremes.min)
            extremes.min = value;
    }
    return extremes;
}

} // namespace

HistoryExtremes plotHistoryWindow(Surface &plot, const QStringList &data,
                                  const ChartSettings &settings) {
    applyChartBackground(plot, settings);
    const HistoryExtremes extremes = extremesOf(data);
    applyTraceColour(plot, settings.lineColour);
    const double hi = core::leadingNumber(settings.vertMax);
    const double lo = core::leadingNumber(settings.vertMin);
    if (hi == lo)
        return extremes;
    std::optional<double> previous = slotValue(data.value(0), hi);
    for (int slot = 1; slot < int(data.size()); ++slot) {
        const std::optional<double> value = slotValue(data[slot], hi);
        if (previous && value) {
            const QPointF from =
                trendPoint(slot - 1, *previous, hi, lo, plot.width(), plot.height());
            const QPointF to = trendPoint(slot, *value, hi, lo, plot.width(), plot.height());
            plot.line(from.x(), from.y(), to.x(), to.y());
        }
        previous = value;
    }
    return extremes;
}

} // namespace chart
