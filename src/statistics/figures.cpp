#include "statistics/figures.h"

#include "core/number_text.h"
#include "core/time_stamp.h"
#include "log/connection.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>

namespace stats {

namespace {

constexpr double kEightHours = 8 * 3600;
/// Activation energy over the gas constant for the mean kinetic temperature, in kelvin.
constexpr double kActivationKelvin = 10000;
constexpr double kZeroCelsius = 273.15;

const QString kSound = QStringLiteral("Sound");
const QString kTemp = QStringLiteral("Temp");
const QString kLight = QStringLiteral("Light");

bool isOverload(const QString &data) { return data == u"O.L" || data == u"OL" || data == u"OL."; }

/// Groups in the order the tables show them: by function, then by unit.
int functionRank(const QString &function) {
    static const QStringList order{kSound, QStringLiteral("Humidity"), kTemp, kLight};
    const qsizetype rank = order.indexOf(function);
    return rank < 0 ? int(order.size()) : int(rank);
}

double kelvin(double value, const QString &unit) {
    return (unit == u"F" ? (value - 32) * 5 / 9 : value) + kZeroCelsius;
}

double fromKelvin(double value, const QString &unit) {
    const double celsius = value - kZeroCelsius;
    return unit == u"F" ? celsius * 9 / 5 + 32 : celsius;
}

/// A record taken into the span: its group, its clock time and its level (none: overload).
struct Entry {
    std::size_t group;
    qint64 time;
    std::optional<double> level;
};

/// The sums a group's figures come from, each weighted by the records' shares of their runs.
struct Sums {
    GroupFigures figures;
    double levelSeconds = 0;                       ///< the weights of the levels
    double weighted = 0;                           ///< of the levels
    double energy = 0;                             ///< of 10^(L/10)
    double niosh = 0;                              ///< of 2^((L - 85) / 3)
    double osha = 0;                               ///< of 2^((L - 90) / 5), from 80 dB on
    double kinetic = 0;                            ///< of e^(-dH/R / T)
    std::vector<std::pair<double, double>> levels; ///< sound: each level with its weight
};

void add(Sums &sums, const Entry &entry, double weight) {
    GroupFigures &g = sums.figures;
    if (g.readings++ == 0)
        g.first = entry.time;
    g.last = entry.time;
    if (!entry.level) {
        ++g.overloads;
        g.overloadSeconds += weight;
        return;
    }
    const double v = *entry.level;
    sums.levelSeconds += weight;
    sums.weighted += weight * v;
    g.min = g.min ? std::min(*g.min, v) : v;
    g.max = g.max ? std::max(*g.max, v) : v;
    if (g.hi && v >= *g.hi)
        *g.aboveHiSeconds += weight;
    if (g.low && v <= *g.low)
        *g.belowLowSeconds += weight;
    if (g.function == kSound) {
        sums.energy += weight * std::pow(10.0, v / 10);
        sums.niosh += weight * std::exp2((v - 85) / 3);
        if (v >= 80)
            sums.osha += weight * std::exp2((v - 90) / 5);
        sums.levels.emplace_back(v, weight);
    } else if (g.function == kTemp) {
        sums.kinetic += weight * std::exp(-kActivationKelvin / kelvin(v, g.unit));
    }
}

/// The level exceeded for `percent` of the time: the first, from the highest down, at which
/// the weights add up to that share.
double exceededLevel(const std::vector<std::pair<double, double>> &descending, double total,
                     double percent) {
    const double share = total * percent / 100;
    double sum = 0;
    for (const auto &[level, weight] : descending) {
        sum += weight;
        // Shares of runs do not add up exactly: a sum that reaches the share to within the
        // rounding of its terms reaches it.
        if (sum >= share - total * 1e-12)
            return level;
    }
    return descending.back().first;
}

void finish(Sums &sums) {
    GroupFigures &g = sums.figures;
    if (sums.levelSeconds <= 0)
        return;
    const double w = sums.levelSeconds;
    if (g.function == kSound) {
        g.leq = 10 * std::log10(sums.energy / w);
        std::sort(sums.levels.begin(), sums.levels.end(),
                  [](const auto &a, const auto &b) { return a.first > b.first; });
        g.l10 = exceededLevel(sums.levels, w, 10);
        g.l50 = exceededLevel(sums.levels, w, 50);
        g.l90 = exceededLevel(sums.levels, w, 90);
        g.lex8h = *g.leq + 10 * std::log10(g.seconds / kEightHours);
        g.doseNiosh = 100 * sums.niosh / kEightHours;
        g.doseOsha = 100 * sums.osha / kEightHours;
        g.projectedDoseNiosh = *g.doseNiosh * kEightHours / g.seconds;
        g.projectedDoseOsha = *g.doseOsha * kEightHours / g.seconds;
        return;
    }
    g.mean = sums.weighted / w;
    if (g.function == kTemp)
        g.mkt = fromKelvin(kActivationKelvin / -std::log(sums.kinetic / w), g.unit);
    else if (g.function == kLight)
        g.luxHours = sums.weighted / 3600;
}

} // namespace

std::optional<double> Limit::of(const QString &function) const {
    const auto own = byFunction.find(function);
    return own != byFunction.end() ? std::optional(own->second) : every;
}

SpanFigures spanFigures(std::span<const logbook::LogRecord> records, const SpanQuery &query) {
    SpanFigures result;
    std::vector<Sums> groups;
    std::vector<Entry> entries;
    entries.reserve(records.size());
    for (const logbook::LogRecord &r : records) {
        const std::optional<qint64> time = core::clockSeconds(r.time);
        if (time && ((query.from && *time < *query.from) || (query.to && *time > *query.to)))
            continue;
        const std::optional<double> level =
            isOverload(r.data) ? std::nullopt : core::strictNumber(r.data);
        if (!time || r.function.isEmpty() || (!level && !isOverload(r.data))) {
            ++result.leftOut;
            continue;
        }
        const std::size_t group = std::size_t(
            std::find_if(groups.begin(), groups.end(),
                         [&](const Sums &s) {
                             return s.figures.function == r.function && s.figures.unit == r.unit;
                         }) -
            groups.begin());
        if (group == groups.size()) {
            groups.push_back({});
            GroupFigures &g = groups.back().figures;
            g.function = r.function;
            g.unit = r.unit;
            g.hi = query.hi.of(r.function);
            g.low = query.low.of(r.function);
            if (g.hi)
                g.aboveHiSeconds = 0;
            if (g.low)
                g.belowLowSeconds = 0;
        }
        entries.push_back({group, *time, level});
    }
    // A run goes on while the next record is of its group, not earlier and not too far on.
    for (std::size_t begin = 0, end = 1; begin < entries.size(); begin = end++) {
        while (end < entries.size() && entries[end].group == entries[begin].group &&
               entries[end].time >= entries[end - 1].time &&
               entries[end].time - entries[end - 1].time <= kRunGapSeconds)
            ++end;
        Sums &sums = groups[entries[begin].group];
        const double duration = double(entries[end - 1].time - entries[begin].time + 1);
        sums.figures.seconds += duration;
        for (std::size_t i = begin; i < end; ++i)
            add(sums, entries[i], duration / double(end - begin));
    }
    std::stable_sort(groups.begin(), groups.end(), [](const Sums &a, const Sums &b) {
        const int ra = functionRank(a.figures.function);
        const int rb = functionRank(b.figures.function);
        return ra != rb ? ra < rb : a.figures.unit < b.figures.unit;
    });
    for (Sums &sums : groups) {
        finish(sums);
        result.groups.push_back(std::move(sums.figures));
    }
    return result;
}

std::optional<std::vector<logbook::LogRecord>> readLogRecords(const QString &path,
                                                              logbook::DatabaseError &error) {
    logbook::Connection db;
    if (!db.open(path)) {
        error = db.error();
        return std::nullopt;
    }
    QSqlQuery query(db.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT AAA, BBB, CCC, DDD, EEE FROM b1 ORDER BY AAA"))) {
        db.setError(query.lastError());
        error = db.error();
        return std::nullopt;
    }
    std::vector<logbook::LogRecord> records;
    while (query.next())
        records.push_back({query.value(0).toInt(), query.value(1).toString(),
                           query.value(2).toString(), query.value(3).toString(),
                           query.value(4).toString()});
    return records;
}

} // namespace stats
