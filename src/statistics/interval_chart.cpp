#include "statistics/interval_chart.h"

#include "core/reading_texts.h"
#include "core/time_stamp.h"

#include <QDate>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <tuple>

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

QString number(double value) { return QString::number(value, 'f', 1); }

/// A tick's value as its scale writes it: no more decimals than the step needs.
QString tickText(double value, double step) {
    const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : 2;
    return QString::number(value, 'f', decimals);
}

/// "12-05" of a local instant.
QString dateOf(const core::LocalInstant &at) { return core::isoTimeWithOffset(at).mid(5, 5); }

} // namespace

std::vector<double> valueTicks(double low, double high, int most) {
    if (!(high > low)) {
        low -= 1;
        high += 1;
    }
    const double raw = (high - low) / std::max(most - 1, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * power;
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= raw * (1 - 1e-9)) {
            step = factor * power;
            break;
        }
    // Still too many where the range begins or ends between ticks: the next round step.
    for (;;) {
        const double first = std::floor(low / step + 1e-9) * step;
        const double last = std::ceil(high / step - 1e-9) * step;
        const int count = int(std::llround((last - first) / step)) + 1;
        if (count <= std::max(most, 2)) {
            std::vector<double> ticks;
            for (int i = 0; i < count; ++i)
                ticks.push_back(first + i * step);
            return ticks;
        }
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        step *= mantissa < 1.5 ? 2 : mantissa < 3 ? 2.5 : 2;
    }
}

std::vector<TimeTick> timeTicks(qint64 start, qint64 end, const core::ZoneClock &zone, int most) {
    constexpr qint64 kDay = 86400;
    constexpr qint64 kWeek = 7 * kDay;
    const qint64 steps[] = {60, 300, 900, 1800, 3600, 7200, 10800, 21600, 43200, kDay, kWeek};
    qint64 step = kWeek;
    for (const qint64 s : steps)
        if ((end - start) / s + 1 <= most) {
            step = s;
            break;
        }
    std::vector<TimeTick> ticks;
    const int calendar = int(std::min(step, kDay));
    std::optional<core::LocalInstant> before;
    for (qint64 t = zone.intervalOf(start, calendar).first; t <= end;
         t = zone.intervalOf(t, calendar).second) {
        if (t < start)
            continue;
        const core::LocalInstant at = zone.at(t);
        const QString iso = core::isoTimeWithOffset(at);
        if (step == kWeek && QDate::fromString(iso.left(10), Qt::ISODate).dayOfWeek() != Qt::Monday)
            continue;
        TimeTick tick{t, step >= kDay ? dateOf(at) : iso.mid(11, 5), {}};
        if (step < kDay && (!before || dateOf(*before) != dateOf(at)))
            tick.date = dateOf(at);
        // The second pass of an hour the clock read twice says which it is.
        if (before && before->offset != at.offset && step < kDay && zone.foldOf(at.clock()))
            tick.label += u' ' + iso.right(6);
        before = at;
        ticks.push_back(tick);
    }
    return ticks;
}

int chartPanels(const std::vector<IntervalFigures> &intervals) {
    return int(panelsOf(intervals).size());
}

ChartDrawing intervalChart(const std::vector<IntervalFigures> &intervals, double left, double top,
                           double width, double height, double textHeight,
                           const ChartContext &context) {
    ChartDrawing d;
    const std::vector<Panel> panels = panelsOf(intervals);
    if (panels.empty())
        return d;
    const qint64 t0 = intervals.front().start.utc;
    const qint64 t1 = intervals.back().end.utc;
    const double labelWidth = textHeight * 4;
    const double plotLeft = left + labelWidth;
    const double plotWidth = width - labelWidth - textHeight * 2;
    const double panelHeight = height / double(panels.size());
    const auto xOf = [&](qint64 t) {
        return plotLeft + plotWidth * double(t - t0) / double(std::max<qint64>(t1 - t0, 1));
    };
    // Labels of about eight characters each, with room between them.
    const std::vector<TimeTick> ticks =
        timeTicks(t0, t1, context.zone, std::max(2, int(plotWidth / (textHeight * 5))));
    for (std::size_t n = 0; n < panels.size(); ++n) {
        const Panel &p = panels[n];
        const double plotTop = top + double(n) * panelHeight + textHeight * 1.5;
        const double plotBottom = top + double(n + 1) * panelHeight - textHeight * 2.6;
        // The readings' range, never the limits'.
        double low = *p.points.front().second->min;
        double high = *p.points.front().second->max;
        for (const auto &[interval, g] : p.points) {
            low = std::min(low, *g->min);
            high = std::max(high, *g->max);
        }
        // Bars stand on a floor below the lowest level.
        const double pad = std::max((high - low) * 0.05, 0.5);
        const std::vector<double> scale = valueTicks(
            low - pad, high, std::max(3, int((plotBottom - plotTop) / (textHeight * 2))));
        const double floor = scale.front();
        const double ceiling = scale.back();
        const auto yOf = [&](double v) {
            return plotBottom - (plotBottom - plotTop) * (v - floor) / (ceiling - floor);
        };

        d.texts.push_back({plotLeft, plotTop - textHeight * 0.4,
                           QStringLiteral("%1 %2: %3 per interval")
                               .arg(p.function, p.unit,
                                    isSound(p) ? QStringLiteral("Leq, Lmax and Lmin")
                                               : QStringLiteral("mean, min and max"))});
        for (const EventFigures &e : context.events)
            if (e.function == p.function && e.end.utc > t0 && e.start.utc < t1)
                d.shapes.push_back(
                    {ChartShape::Kind::Event, xOf(std::max(e.start.utc, t0)), plotTop,
                     xOf(std::min(std::max(e.end.utc, e.start.utc + 1), t1)), plotBottom});
        const double step = scale.size() > 1 ? scale[1] - scale[0] : 1;
        for (const double v : scale) {
            d.shapes.push_back(
                {ChartShape::Kind::Grid, plotLeft, yOf(v), plotLeft + plotWidth, yOf(v)});
            d.texts.push_back(
                {plotLeft - textHeight * 0.3, yOf(v) + textHeight * 0.35, tickText(v, step), true});
        }
        for (const TimeTick &tick : ticks) {
            d.shapes.push_back(
                {ChartShape::Kind::Grid, xOf(tick.at), plotTop, xOf(tick.at), plotBottom});
            d.texts.push_back(
                {xOf(tick.at) - textHeight * 1.2, plotBottom + textHeight * 1.2, tick.label});
            if (!tick.date.isEmpty())
                d.texts.push_back(
                    {xOf(tick.at) - textHeight * 1.2, plotBottom + textHeight * 2.3, tick.date});
        }
        d.shapes.push_back({ChartShape::Kind::Axis, plotLeft, plotTop, plotLeft, plotBottom});
        d.shapes.push_back(
            {ChartShape::Kind::Axis, plotLeft, plotBottom, plotLeft + plotWidth, plotBottom});

        std::optional<std::pair<double, double>> lastMean;
        qint64 lastEnd = t0;
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
                // Joined to the interval before only where no interval without readings lies
                // between them.
                if (lastMean && lastEnd == interval->start.utc)
                    d.shapes.push_back({ChartShape::Kind::Mean, lastMean->first, lastMean->second,
                                        mean.first, mean.second});
                else
                    d.shapes.push_back({ChartShape::Kind::Mean, a, mean.second, b, mean.second});
                lastMean = mean;
            }
            lastEnd = interval->end.utc;
        }
        const GroupFigures &any = *p.points.front().second;
        QStringList outside;
        for (const auto &[limit, kind, name] :
             {std::tuple(any.hi, ChartShape::Kind::Hi, "HI"),
              std::tuple(any.low, ChartShape::Kind::Low, "LOW")}) {
            if (!limit)
                continue;
            const QString said =
                QStringLiteral("%1 %2").arg(QLatin1String(name), QString::number(*limit, 'g', 6));
            if (*limit >= floor && *limit <= ceiling) {
                d.shapes.push_back(
                    {kind, plotLeft, yOf(*limit), plotLeft + plotWidth, yOf(*limit)});
                d.texts.push_back(
                    {plotLeft + plotWidth, yOf(*limit) - textHeight * 0.2, said, true});
            } else {
                outside.append(said + (*limit > ceiling ? QStringLiteral(" above")
                                                        : QStringLiteral(" below")));
            }
        }
        // Limits beyond the readings are named, not scaled into.
        if (!outside.isEmpty())
            d.texts.push_back({plotLeft + plotWidth, plotTop - textHeight * 0.4,
                               outside.join(QStringLiteral(", ")), true});
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
