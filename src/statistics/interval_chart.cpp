#include "statistics/interval_chart.h"

#include "core/reading_texts.h"
#include "core/time_stamp.h"

#include <QStringList>

#include <algorithm>

namespace stats {

namespace {

/// A share of each interval's width left free between bars.
constexpr double kGap = 0.15;

/// A panel's group: function and unit, and each interval's figures of it.
struct Panel {
    QString function;
    QString unit;
    std::vector<std::pair<const IntervalFigures *, const GroupFigures *>> points;
};

std::vector<Panel> panelsOf(const std::vector<IntervalFigures> &intervals) {
    std::vector<Panel> panels;
    for (const IntervalFigures &interval : intervals)
        for (const GroupFigures &g : interval.groups) {
            if (!g.min)
                continue; // overloads only: nothing to draw
            auto panel = std::find_if(panels.begin(), panels.end(), [&](const Panel &p) {
                return p.function == g.function && p.unit == g.unit;
            });
            if (panel == panels.end())
                panel = panels.insert(panels.end(), {g.function, g.unit, {}});
            panel->points.emplace_back(&interval, &g);
        }
    return panels;
}

bool isSound(const Panel &p) { return p.function == core::kFunctionSound; }

/// The level a panel draws for an interval: Leq for sound, the mean otherwise.
double levelOf(const Panel &p, const GroupFigures &g) {
    return isSound(p) ? g.leq.value_or(*g.min) : g.mean.value_or(*g.min);
}

/// "12-04 08:00" of "2026-12-04T08:00:00+01:00"; with its offset where the clock changed
/// between the chart's ends, so that each end is one instant.
QString shortTime(core::LocalInstant time, bool offset) {
    const QString iso = core::isoTimeWithOffset(time);
    return iso.mid(5, 11).replace(u'T', u' ') + (offset ? u' ' + iso.right(6) : QString());
}

QString number(double value) { return QString::number(value, 'f', 1); }

} // namespace

ChartDrawing intervalChart(const std::vector<IntervalFigures> &intervals, double left, double top,
                           double width, double height, double textHeight) {
    ChartDrawing d;
    const std::vector<Panel> panels = panelsOf(intervals);
    if (panels.empty())
        return d;
    const core::LocalInstant first = intervals.front().start;
    const core::LocalInstant last = intervals.back().end;
    const qint64 t0 = first.utc;
    const qint64 t1 = last.utc;
    const double labelWidth = textHeight * 4;
    const double plotLeft = left + labelWidth;
    const double plotWidth = width - labelWidth - textHeight;
    const double panelHeight = height / double(panels.size());
    const auto xOf = [&](qint64 t) {
        return plotLeft + plotWidth * double(t - t0) / double(std::max<qint64>(t1 - t0, 1));
    };
    for (std::size_t n = 0; n < panels.size(); ++n) {
        const Panel &p = panels[n];
        const double plotTop = top + double(n) * panelHeight + textHeight * 1.5;
        const double plotBottom = top + double(n + 1) * panelHeight - textHeight * 2;
        double low = *p.points.front().second->min;
        double high = *p.points.front().second->max;
        const GroupFigures &any = *p.points.front().second;
        for (const auto &[interval, g] : p.points) {
            low = std::min(low, *g->min);
            high = std::max(high, *g->max);
        }
        for (const std::optional<double> &limit : {any.hi, any.low})
            if (limit) {
                low = std::min(low, *limit);
                high = std::max(high, *limit);
            }
        // Bars stand on a floor below the lowest level.
        const double pad = std::max((high - low) * 0.08, 0.5);
        low -= pad;
        high += pad;
        const auto yOf = [&](double v) {
            return plotBottom - (plotBottom - plotTop) * (v - low) / (high - low);
        };

        d.texts.push_back({plotLeft, plotTop - textHeight * 0.4,
                           QStringLiteral("%1 %2: %3 per interval")
                               .arg(p.function, p.unit,
                                    isSound(p) ? QStringLiteral("Leq, Lmax and Lmin")
                                               : QStringLiteral("mean, min and max"))});
        d.shapes.push_back({ChartShape::Kind::Axis, plotLeft, plotTop, plotLeft, plotBottom});
        d.shapes.push_back(
            {ChartShape::Kind::Axis, plotLeft, plotBottom, plotLeft + plotWidth, plotBottom});
        for (const double v : {low + pad, (low + high) / 2, high - pad})
            d.texts.push_back(
                {plotLeft - textHeight * 0.3, yOf(v) + textHeight * 0.35, number(v), true});
        for (const core::LocalInstant &t : {first, last})
            d.texts.push_back({xOf(t.utc), plotBottom + textHeight * 1.2,
                               shortTime(t, first.offset != last.offset), t == last});

        std::optional<std::pair<double, double>> lastMean;
        for (const auto &[interval, g] : p.points) {
            const double x1 = xOf(interval->start.utc);
            const double x2 = xOf(interval->end.utc);
            const double inset = (x2 - x1) * kGap / 2;
            const double a = x1 + inset;
            const double b = x2 - inset;
            if (isSound(p)) {
                d.shapes.push_back({ChartShape::Kind::Bar, a, yOf(levelOf(p, *g)), b, plotBottom});
                d.shapes.push_back({ChartShape::Kind::Mark, a, yOf(*g->max), b, yOf(*g->max)});
                d.shapes.push_back({ChartShape::Kind::Mark, a, yOf(*g->min), b, yOf(*g->min)});
            } else {
                d.shapes.push_back({ChartShape::Kind::Band, a, yOf(*g->max), b, yOf(*g->min)});
                const std::pair<double, double> mean((a + b) / 2, yOf(levelOf(p, *g)));
                if (lastMean)
                    d.shapes.push_back({ChartShape::Kind::Mean, lastMean->first, lastMean->second,
                                        mean.first, mean.second});
                else
                    d.shapes.push_back({ChartShape::Kind::Mean, a, mean.second, b, mean.second});
                lastMean = mean;
            }
        }
        for (const auto &[limit, kind] :
             {std::pair(any.hi, ChartShape::Kind::Hi), std::pair(any.low, ChartShape::Kind::Low)})
            if (limit)
                d.shapes.push_back(
                    {kind, plotLeft, yOf(*limit), plotLeft + plotWidth, yOf(*limit)});
    }
    return d;
}

QString intervalChartDescription(const std::vector<IntervalFigures> &intervals) {
    QStringList said;
    for (const Panel &p : panelsOf(intervals)) {
        const auto byLevel = [&p](const auto &a, const auto &b) {
            return levelOf(p, *a.second) < levelOf(p, *b.second);
        };
        const auto [lowest, highest] =
            std::minmax_element(p.points.begin(), p.points.end(), byLevel);
        said.append(QStringLiteral("%1 %2, %3 of %4 intervals: highest %5 from %6, lowest %7 "
                                   "from %8")
                        .arg(p.function, p.unit,
                             isSound(p) ? QStringLiteral("Leq") : QStringLiteral("mean"))
                        .arg(p.points.size())
                        .arg(number(levelOf(p, *highest->second)),
                             core::isoTimeWithOffset(highest->first->start),
                             number(levelOf(p, *lowest->second)),
                             core::isoTimeWithOffset(lowest->first->start)));
    }
    return said.isEmpty() ? QStringLiteral("No interval has a level to show.")
                          : said.join(QStringLiteral("; ")) + u'.';
}

} // namespace stats
