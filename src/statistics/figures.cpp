#include "statistics/figures.h"

#include "statistics/minute_summary.h"

#include "core/number_text.h"
#include "core/reading_texts.h"
#include "core/time_stamp.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace stats {

namespace {

constexpr double kEightHours = 8 * 3600;
constexpr qint64 kDaySeconds = 86400;
/// Activation energy over the gas constant for the mean kinetic temperature, in kelvin.
constexpr double kActivationKelvin = 10000;
constexpr double kZeroCelsius = 273.15;

/// Groups in the order the tables show them: by function, then by unit.
int functionRank(const QString &function) {
    static const QStringList order{core::kFunctionSound, core::kFunctionHumidity,
                                   core::kFunctionTemp, core::kFunctionLight};
    const qsizetype rank = order.indexOf(function);
    return rank < 0 ? int(order.size()) : int(rank);
}

double kelvin(double value, const QString &unit) {
    return core::temperatureIn(value, unit, core::kUnitCelsius) + kZeroCelsius;
}

double fromKelvin(double value, const QString &unit) {
    return core::temperatureIn(value - kZeroCelsius, core::kUnitCelsius, unit);
}

/// Sums of readings, each added with its weight: a run's readings in one interval with weight 1
/// while the run goes on, then folded into the interval's totals with the run's weight.
struct Sums {
    qint64 readings = 0;
    qint64 overloads = 0;
    double overloadWeight = 0;
    core::LocalInstant first;
    core::LocalInstant last;
    std::optional<double> min, max;
    double levelWeight = 0;
    double weighted = 0; ///< of the levels
    double energy = 0;   ///< of 10^(L/10)
    double niosh = 0;    ///< of 2^((L - 85) / 3)
    double osha = 0;     ///< of 2^((L - 90) / 5), from 80 dB on
    double kinetic = 0;  ///< of e^(-dH/R / T)
    double aboveHi = 0;
    double belowLow = 0;
    /// Sound: the weight at each level, as it is being added, and gathered into ascending
    /// order, each level once, where it is kept (a run that has left an interval, a total).
    std::unordered_map<double, double> adding;
    std::vector<std::pair<double, double>> levels;
    std::array<double, 3> periodEnergy{}; ///< sound by day, evening, night
    std::array<double, 3> periodWeight{};

    void addLevel(double level, double weight) { adding[level] += weight; }

    /// The levels in ascending order, each once, in the least room.
    void gather() {
        if (adding.empty())
            return;
        const auto middle = std::ptrdiff_t(levels.size());
        levels.insert(levels.end(), adding.begin(), adding.end());
        adding = {};
        std::sort(levels.begin() + middle, levels.end());
        std::inplace_merge(levels.begin(), levels.begin() + middle, levels.end());
        std::size_t out = 0;
        for (std::size_t i = 0; i < levels.size(); ++i) {
            if (out > 0 && levels[out - 1].first == levels[i].first)
                levels[out - 1].second += levels[i].second;
            else
                levels[out++] = levels[i];
        }
        levels.resize(out);
        levels.shrink_to_fit();
    }

    /// Every weighted sum times w: a run's readings taking the run's weight.
    void scale(double w) {
        for (double *sum : {&overloadWeight, &levelWeight, &weighted, &energy, &niosh, &osha,
                            &kinetic, &aboveHi, &belowLow})
            *sum *= w;
        for (auto &level : levels)
            level.second *= w;
        for (auto &level : adding)
            level.second *= w;
        for (std::size_t p = 0; p < periodEnergy.size(); ++p) {
            periodEnergy[p] *= w;
            periodWeight[p] *= w;
        }
    }

    /// Adds a run's readings with the run's weight; the first is taken over as it is.
    void addRun(Sums &&run, double w) {
        if (readings == 0) {
            run.scale(w);
            *this = std::move(run);
            return;
        }
        addScaled(run, w);
    }

    void addScaled(const Sums &run, double w) {
        if (run.readings == 0)
            return;
        if (readings == 0)
            first = run.first;
        last = run.last;
        readings += run.readings;
        overloads += run.overloads;
        overloadWeight += w * run.overloadWeight;
        if (run.min)
            min = min ? std::min(*min, *run.min) : *run.min;
        if (run.max)
            max = max ? std::max(*max, *run.max) : *run.max;
        levelWeight += w * run.levelWeight;
        weighted += w * run.weighted;
        energy += w * run.energy;
        niosh += w * run.niosh;
        osha += w * run.osha;
        kinetic += w * run.kinetic;
        aboveHi += w * run.aboveHi;
        belowLow += w * run.belowLow;
        for (const auto &[level, weight] : run.levels)
            addLevel(level, w * weight);
        for (const auto &[level, weight] : run.adding)
            addLevel(level, w * weight);
        for (std::size_t p = 0; p < periodEnergy.size(); ++p) {
            periodEnergy[p] += w * run.periodEnergy[p];
            periodWeight[p] += w * run.periodWeight[p];
        }
    }
};

/// A group of the series: its function and unit, its limits and how its levels count.
struct Group {
    QString function;
    QString unit;
    std::optional<double> hi, low;
    bool sound = false;
    bool temperature = false;
};

/// The hours of a day in its day, evening and night.
using PeriodHours = std::array<double, 3>;

/// What a level adds beyond itself: its sound energy and dose shares, or its kinetic share.
struct Terms {
    double energy = 0;
    double niosh = 0;
    double osha = 0;
    double kinetic = 0;
};

Terms soundTerms(double v) {
    return {std::pow(10.0, v / 10), std::exp2((v - 85) / 3), v >= 80 ? std::exp2((v - 90) / 5) : 0,
            0};
}

/// The sound terms of a level, looked up for the levels of 0.1 dB steps the meter shows (the
/// same double a log's text reads as), worked out for any other.
Terms soundTermsOf(double v) {
    constexpr int kSteps = 2000; // 0 to 200 dB
    static const std::vector<Terms> table = [] {
        std::vector<Terms> t(kSteps + 1);
        for (int k = 0; k <= kSteps; ++k)
            t[std::size_t(k)] = soundTerms(k / 10.0);
        return t;
    }();
    const double tenths = std::round(v * 10);
    if (tenths >= 0 && tenths <= kSteps && tenths / 10.0 == v)
        return table[std::size_t(tenths)];
    return soundTerms(v);
}

Terms termsOf(const Group &g, const Entry &e) {
    if (e.kind != Entry::kLevel)
        return {};
    if (g.sound)
        return soundTermsOf(e.level);
    if (g.temperature)
        return {0, 0, 0, std::exp(-kActivationKelvin / kelvin(e.level, g.unit))};
    return {};
}

void addReading(Sums &sums, const Group &g, const Entry &e, const Terms &t,
                core::LocalInstant taken) {
    if (sums.readings++ == 0)
        sums.first = taken;
    sums.last = taken;
    if (e.kind == Entry::kOverload) {
        ++sums.overloads;
        sums.overloadWeight += 1;
        return;
    }
    const double v = e.level;
    sums.levelWeight += 1;
    sums.weighted += v;
    sums.min = sums.min ? std::min(*sums.min, v) : v;
    sums.max = sums.max ? std::max(*sums.max, v) : v;
    if (g.hi && v >= *g.hi)
        sums.aboveHi += 1;
    if (g.low && v <= *g.low)
        sums.belowLow += 1;
    sums.kinetic += t.kinetic;
    if (g.sound) {
        sums.energy += t.energy;
        sums.niosh += t.niosh;
        sums.osha += t.osha;
        sums.addLevel(v, 1);
        const int period = periodOfDay(taken.clock());
        sums.periodEnergy[std::size_t(period)] += t.energy;
        sums.periodWeight[std::size_t(period)] += 1;
    }
}

/// A piece's readings, as addReading adds them one by one.
void addPiece(Sums &sums, const Group &g, const MinutePiece &piece,
              std::span<const LevelCount> levels) {
    if (sums.readings == 0)
        sums.first = piece.first;
    sums.last = piece.last;
    sums.readings += piece.readings;
    sums.overloads += piece.overloads;
    sums.overloadWeight += piece.overloads;
    if (levels.empty())
        return;
    sums.min = sums.min ? std::min(*sums.min, levels.front().level) : levels.front().level;
    sums.max = sums.max ? std::max(*sums.max, levels.back().level) : levels.back().level;
    const auto period = std::size_t(periodOfDay(piece.first.clock()));
    for (const auto [v, n] : levels) {
        const double count = n;
        const Terms t = termsOf(g, {0, v, 0, Entry::kLevel});
        sums.levelWeight += count;
        sums.weighted += count * v;
        if (g.hi && v >= *g.hi)
            sums.aboveHi += count;
        if (g.low && v <= *g.low)
            sums.belowLow += count;
        sums.kinetic += count * t.kinetic;
        if (g.sound) {
            sums.energy += count * t.energy;
            sums.niosh += count * t.niosh;
            sums.osha += count * t.osha;
            sums.addLevel(v, count);
            sums.periodEnergy[period] += count * t.energy;
            sums.periodWeight[period] += count;
        }
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

std::optional<double> leqOf(double energy, double weight) {
    return weight > 0 ? std::optional(10 * std::log10(energy / weight)) : std::nullopt;
}

/// Events above HI and below LOW, counted.
using EventCounts = std::array<qint64, 2>;

GroupFigures figuresOf(const Group &group, Sums &sums, const PeriodHours *day,
                       const EventCounts &events) {
    GroupFigures g;
    g.function = group.function;
    g.unit = group.unit;
    g.readings = sums.readings;
    g.overloads = sums.overloads;
    g.overloadSeconds = sums.overloadWeight;
    g.first = sums.first;
    g.last = sums.last;
    g.seconds = sums.levelWeight + sums.overloadWeight;
    g.min = sums.min;
    g.max = sums.max;
    g.hi = group.hi;
    g.low = group.low;
    if (group.hi) {
        g.aboveHiSeconds = sums.aboveHi;
        g.eventsAboveHi = events[0];
    }
    if (group.low) {
        g.belowLowSeconds = sums.belowLow;
        g.eventsBelowLow = events[1];
    }
    const double w = sums.levelWeight;
    if (w <= 0)
        return g;
    if (group.sound) {
        g.leq = leqOf(sums.energy, w);
        sums.gather();
        const std::vector<std::pair<double, double>> levels(sums.levels.rbegin(),
                                                            sums.levels.rend());
        g.l10 = exceededLevel(levels, w, 10);
        g.l50 = exceededLevel(levels, w, 50);
        g.l90 = exceededLevel(levels, w, 90);
        g.lex8h = *g.leq + 10 * std::log10(g.seconds / kEightHours);
        g.doseNiosh = 100 * sums.niosh / kEightHours;
        g.doseOsha = 100 * sums.osha / kEightHours;
        g.projectedDoseNiosh = *g.doseNiosh * kEightHours / g.seconds;
        g.projectedDoseOsha = *g.doseOsha * kEightHours / g.seconds;
        if (day) {
            g.lday = leqOf(sums.periodEnergy[0], sums.periodWeight[0]);
            g.levening = leqOf(sums.periodEnergy[1], sums.periodWeight[1]);
            g.lnight = leqOf(sums.periodEnergy[2], sums.periodWeight[2]);
            const auto [dayHours, eveningHours, nightHours] = *day;
            if (g.lday && g.levening && g.lnight)
                g.lden = 10 * std::log10((dayHours * std::pow(10.0, *g.lday / 10) +
                                          eveningHours * std::pow(10.0, (*g.levening + 5) / 10) +
                                          nightHours * std::pow(10.0, (*g.lnight + 10) / 10)) /
                                         (dayHours + eveningHours + nightHours));
        }
        return g;
    }
    g.mean = sums.weighted / w;
    if (group.temperature)
        g.mkt = fromKelvin(kActivationKelvin / -std::log(sums.kinetic / w), group.unit);
    else if (group.function == core::kFunctionLight)
        g.luxHours = sums.weighted / 3600;
    return g;
}

} // namespace

namespace {

/// The names a limit may be given for, as the user writes them, with the log's function names.
const std::map<QString, QString> kLimitFunctions{
    {QStringLiteral("sound"), core::kFunctionSound},
    {QStringLiteral("humidity"), core::kFunctionHumidity},
    {QStringLiteral("temp"), core::kFunctionTemp},
    {QStringLiteral("temperature"), core::kFunctionTemp},
    {QStringLiteral("light"), core::kFunctionLight}};

} // namespace

std::optional<QString> readLimit(const QString &named, const QStringList &values, Limit &limit) {
    for (const QString &value : values) {
        const qsizetype equals = value.indexOf(u'=');
        const QString name = equals < 0 ? QString() : value.left(equals).trimmed().toLower();
        const std::optional<double> number = core::strictNumber(value.mid(equals + 1));
        const auto function = kLimitFunctions.find(name);
        if (!number || (equals >= 0 && function == kLimitFunctions.end()))
            return QStringLiteral("%1 needs a number, or sound=, humidity=, temp= or light= and a "
                                  "number, not \"%2\"")
                .arg(named, value);
        const bool twice = equals < 0 ? limit.every.has_value()
                                      : !limit.byFunction.emplace(function->second, *number).second;
        if (twice)
            return QStringLiteral("%1 gives %2 twice")
                .arg(named, equals < 0 ? QStringLiteral("a limit for every function") : name);
        if (equals < 0)
            limit.every = number;
    }
    return std::nullopt;
}

std::vector<core::AlarmRule> limitRules(const SpanQuery &query) {
    std::vector<core::AlarmRule> rules;
    for (const core::AlarmQuantity &q : core::kAlarmQuantities)
        for (const bool above : {true, false})
            if (const std::optional<double> limit = (above ? query.hi : query.low).of(*q.function))
                rules.push_back({QLatin1String(q.key) +
                                     (above ? QStringLiteral("_above") : QStringLiteral("_below")),
                                 QLatin1String(q.key),
                                 *q.function,
                                 above,
                                 *limit,
                                 {},
                                 query.forSeconds,
                                 query.hysteresis});
    return rules;
}

QString limitText(const Limit &limit) {
    QStringList parts;
    if (limit.every)
        parts.append(core::doubleText(*limit.every));
    for (const auto &[function, value] : limit.byFunction)
        for (const auto &[name, known] : kLimitFunctions)
            if (known == function && name != u"temperature")
                parts.append(name + u'=' + core::doubleText(value));
    return parts.join(u' ');
}

std::optional<double> Limit::of(const QString &function) const {
    const auto own = byFunction.find(function);
    return own != byFunction.end() ? std::optional(own->second) : every;
}

CompactLog compactLog(std::span<const logbook::LogRecord> records) {
    CompactLog log;
    log.entries.reserve(records.size());
    for (const logbook::LogRecord &r : records)
        appendEntry(log, r);
    return log;
}

void appendEntry(CompactLog &log, const logbook::LogRecord &record) {
    Entry e;
    const std::optional<qint64> time = core::clockSeconds(record.time);
    e.time = time.value_or(0);
    const bool overload = core::isOverloadText(record.data);
    const std::optional<double> level = overload ? std::nullopt : core::strictNumber(record.data);
    e.kind = !time ? Entry::kNoTime : overload ? Entry::kOverload : Entry::kLevel;
    e.level = level.value_or(0);
    if (!record.function.isEmpty() && (level || overload)) {
        const std::pair<QString, QString> key(record.function, record.unit);
        auto at = std::find(log.groups.begin(), log.groups.end(), key);
        if (at == log.groups.end())
            at = log.groups.insert(at, key);
        e.group = qint32(at - log.groups.begin());
    }
    log.entries.push_back(e);
}

struct FigureBuilder::State {
    SpanQuery query;
    qint64 intervalSeconds = 0;
    std::vector<Group> groups;
    qint64 leftOut = 0;
    // The run going on: its group, its first and last time, its count, and its readings' sums
    // in the span and in each interval it has touched so far.
    qint32 runGroup = -1;
    qint64 runFirst = 0;
    qint64 runLast = 0;
    qint64 runCount = 0;
    Sums runSpan;
    std::vector<std::pair<qint64, Sums>> runIntervals;
    std::vector<Sums> span;                          ///< by group
    std::map<qint64, std::map<qint32, Sums>> totals; ///< by interval start, then group
    std::optional<qint64> previous;                  ///< the instant of the record before
    std::pair<qint64, qint64> interval{0, 0};        ///< the one the last reading fell in
    // Events: those above HI and below LOW counted by group, in the span and by interval; those
    // of the rules listed.
    std::unique_ptr<core::AlarmWatch> limitWatch;
    std::unique_ptr<core::AlarmWatch> ruleWatch;
    std::map<qint32, EventCounts> spanEvents;
    std::map<qint64, std::map<qint32, EventCounts>> intervalEvents;
    std::vector<EventFigures> listed;
    qint64 lastTaken = 0;

    void watchLimits() {
        std::vector<core::AlarmRule> rules = limitRules(query);
        if (!rules.empty())
            limitWatch = std::make_unique<core::AlarmWatch>(std::move(rules));
        if (!query.eventRules.empty())
            ruleWatch = std::make_unique<core::AlarmWatch>(query.eventRules);
    }

    EventFigures eventFigures(const core::AlarmEvent &e, bool going) const {
        return {e.name,
                e.function,
                e.unit,
                e.above,
                e.limit,
                query.zone.at(e.since),
                query.zone.at(going ? lastTaken : e.at),
                e.peak,
                e.leq,
                e.change != core::AlarmEvent::Change::Passed,
                going};
    }

    void watchEvents(qint32 group, const Entry &e, qint64 taken) {
        const std::optional<double> level =
            e.kind == Entry::kLevel ? std::optional(e.level) : std::nullopt;
        watchRange(group, level, level, taken);
    }

    /// Readings known by their range (AlarmWatch::takeRange) to the events.
    void watchRange(qint32 group, std::optional<double> lowest, std::optional<double> highest,
                    qint64 taken) {
        const Group &g = groups[std::size_t(group)];
        lastTaken = taken;
        if (limitWatch)
            for (const core::AlarmEvent &event :
                 limitWatch->takeRange(g.function, g.unit, lowest, highest, taken))
                if (event.change == core::AlarmEvent::Change::Raised) {
                    const std::size_t kind = event.above ? 0 : 1;
                    ++spanEvents[group][kind];
                    if (intervalSeconds > 0)
                        ++intervalEvents[query.zone.intervalOf(event.since, int(intervalSeconds))
                                             .first][group][kind];
                }
        if (ruleWatch)
            for (const core::AlarmEvent &event :
                 ruleWatch->takeRange(g.function, g.unit, lowest, highest, taken))
                if (event.change != core::AlarmEvent::Change::Raised)
                    listed.push_back(eventFigures(event, false));
    }

    /// A piece's readings to the events, to a minute: its overloads, then its levels as one
    /// reading at its start that is as high as its highest and as low as its lowest.
    void watchPiece(qint32 group, const MinutePiece &piece, std::span<const LevelCount> levels) {
        if (!limitWatch && !ruleWatch)
            return;
        if (piece.overloads > 0)
            watchRange(group, std::nullopt, std::nullopt, piece.first.utc);
        if (!levels.empty())
            watchRange(group, levels.front().level, levels.back().level, piece.first.utc);
    }

    qint32 groupOf(const std::pair<QString, QString> &key) {
        for (std::size_t i = 0; i < groups.size(); ++i)
            if (groups[i].function == key.first && groups[i].unit == key.second)
                return qint32(i);
        groups.push_back({key.first, key.second, query.hi.of(key.first), query.low.of(key.first),
                          key.first == core::kFunctionSound, key.first == core::kFunctionTemp});
        span.emplace_back();
        return qint32(groups.size() - 1);
    }

    void endRun() {
        if (runCount == 0)
            return;
        const double weight = double(runLast - runFirst + 1) / double(runCount);
        span[std::size_t(runGroup)].addRun(std::move(runSpan), weight);
        for (auto &[start, sums] : runIntervals)
            totals[start][runGroup].addRun(std::move(sums), weight);
        runSpan = {};
        runIntervals.clear();
        runCount = 0;
    }

    /// Readings of `group` from `first` to `last` go on with the run, or begin one.
    void goOnWithRun(qint32 group, qint64 first, qint64 last, qint64 count) {
        const bool goesOn = runCount > 0 && group == runGroup && first >= runLast &&
                            first - runLast <= kRunGapSeconds;
        if (!goesOn) {
            endRun();
            runGroup = group;
            runFirst = first;
        }
        runLast = last;
        runCount += count;
    }

    /// The run's sums in the interval that holds `time`; none without intervals.
    Sums *runInterval(qint64 time) {
        if (intervalSeconds <= 0)
            return nullptr;
        if (time < interval.first || time >= interval.second)
            interval = query.zone.intervalOf(time, int(intervalSeconds));
        const qint64 start = interval.first;
        if (runIntervals.empty() || runIntervals.back().first != start) {
            // The run has left the interval before: its levels keep in their least room.
            if (!runIntervals.empty())
                runIntervals.back().second.gather();
            runIntervals.emplace_back(start, Sums{});
        }
        return &runIntervals.back().second;
    }

    void add(qint32 group, const Entry &e, core::LocalInstant taken) {
        goOnWithRun(group, taken.utc, taken.utc, 1);
        const Group &g = groups[std::size_t(group)];
        const Terms terms = termsOf(g, e);
        addReading(runSpan, g, e, terms, taken);
        if (Sums *sums = runInterval(taken.utc))
            addReading(*sums, g, e, terms, taken);
    }

    void add(qint32 group, const MinutePiece &piece, std::span<const LevelCount> levels) {
        goOnWithRun(group, piece.first.utc, piece.last.utc, piece.readings);
        const Group &g = groups[std::size_t(group)];
        addPiece(runSpan, g, piece, levels);
        if (Sums *sums = runInterval(piece.first.utc))
            addPiece(*sums, g, piece, levels);
    }

    bool inSpan(qint64 instant) const {
        return (!query.from || instant >= *query.from) && (!query.to || instant <= *query.to);
    }

    /// The hours of the day from `start` to `end` in its day, evening and night.
    PeriodHours periodHours(qint64 start, qint64 end) const {
        const qint64 clock = query.zone.at(start).clock();
        const qint64 midnight = clock - clock % kDaySeconds;
        const auto at = [&](int hour) { return query.zone.instantOf(midnight + hour * 3600); };
        const double day = double(at(19) - at(7)) / 3600;
        const double evening = double(at(23) - at(19)) / 3600;
        return {day, evening, double(end - start) / 3600 - day - evening};
    }

    std::vector<GroupFigures> ranked(const std::map<qint32, Sums *> &sums, const PeriodHours *day,
                                     const std::map<qint32, EventCounts> &events) const {
        std::vector<GroupFigures> out;
        for (const auto &[group, s] : sums) {
            const auto counted = events.find(group);
            out.push_back(figuresOf(groups[std::size_t(group)], *s, day,
                                    counted == events.end() ? EventCounts{} : counted->second));
        }
        std::stable_sort(out.begin(), out.end(), [](const GroupFigures &a, const GroupFigures &b) {
            const int ra = functionRank(a.function);
            const int rb = functionRank(b.function);
            return ra != rb ? ra < rb : a.unit < b.unit;
        });
        return out;
    }
};

FigureBuilder::FigureBuilder(SpanQuery query, int intervalSeconds)
    : m_state(std::make_unique<State>()) {
    m_state->query = std::move(query);
    m_state->intervalSeconds = intervalSeconds;
    m_state->watchLimits();
}

FigureBuilder::~FigureBuilder() = default;

void FigureBuilder::add(const CompactLog &log) {
    State &s = *m_state;
    std::vector<qint32> groups;
    groups.reserve(log.groups.size());
    for (const auto &key : log.groups)
        groups.push_back(s.groupOf(key));
    const core::ZoneClock &zone = s.query.zone;
    for (const Entry &e : log.entries) {
        if (e.kind == Entry::kNoTime) {
            ++s.leftOut;
            continue;
        }
        const core::LocalInstant taken = zone.takenAt(e.time, s.previous);
        s.previous = taken.utc;
        if (!s.inSpan(taken.utc))
            continue;
        if (e.group == Entry::kLeftOut) {
            ++s.leftOut;
            continue;
        }
        s.add(groups[std::size_t(e.group)], e, taken);
        s.watchEvents(groups[std::size_t(e.group)], e, taken.utc);
    }
}

bool FigureBuilder::readsAsOutlined(const LogOutline &log) const {
    const State &s = *m_state;
    return log.zone == s.query.zone.zone().id() &&
           (!log.firstClock ||
            s.query.zone.instantOf(*log.firstClock, s.previous) == log.firstTaken);
}

bool FigureBuilder::passesBy(const LogOutline &log) const {
    const SpanQuery &q = m_state->query;
    return readsAsOutlined(log) &&
           (!log.firstClock || (q.from && log.latest < *q.from) || (q.to && log.earliest > *q.to));
}

void FigureBuilder::pass(const LogOutline &log) {
    m_state->leftOut += log.noTime;
    if (log.firstClock)
        m_state->previous = log.lastTaken;
}

bool FigureBuilder::takesWhole(const LogSummary &log) const {
    const State &s = *m_state;
    if (s.limitWatch || s.ruleWatch || !readsAsOutlined(log.outline))
        return false;
    const auto cut = [](const MinutePiece &p, std::optional<qint64> from,
                        std::optional<qint64> to) {
        return (from && p.first.utc < *from && p.last.utc >= *from) ||
               (to && p.first.utc <= *to && p.last.utc > *to);
    };
    return std::none_of(log.pieces.begin(), log.pieces.end(),
                        [&](const MinutePiece &p) { return cut(p, s.query.from, s.query.to); });
}

void FigureBuilder::add(const LogSummary &log) {
    State &s = *m_state;
    std::vector<qint32> groups;
    groups.reserve(log.groups.size());
    for (const auto &key : log.groups)
        groups.push_back(s.groupOf(key));

    std::span<const LevelCount> levels(log.levels);
    for (const MinutePiece &piece : log.pieces) {
        const std::span<const LevelCount> own = levels.first(std::size_t(piece.levels));
        levels = levels.subspan(own.size());
        if (!s.inSpan(piece.first.utc))
            continue;
        if (piece.group == Entry::kLeftOut) {
            s.leftOut += piece.readings;
            continue;
        }
        const qint32 group = groups[std::size_t(piece.group)];
        s.add(group, piece, own);
        s.watchPiece(group, piece, own);
    }
    pass(log.outline);
}

void FigureBuilder::follow(qint64 instant) { m_state->previous = instant; }

SpanFigures FigureBuilder::span() {
    State &s = *m_state;
    s.endRun();
    std::map<qint32, Sums *> used;
    for (std::size_t g = 0; g < s.span.size(); ++g)
        if (s.span[g].readings > 0)
            used.emplace(qint32(g), &s.span[g]);
    return {s.ranked(used, nullptr, s.spanEvents), s.leftOut};
}

std::vector<IntervalFigures> FigureBuilder::intervals() {
    State &s = *m_state;
    std::vector<IntervalFigures> out;
    for (auto &[start, byGroup] : s.totals) {
        std::map<qint32, Sums *> used;
        for (auto &[group, sums] : byGroup)
            used.emplace(group, &sums);
        const qint64 end = s.query.zone.intervalOf(start, int(s.intervalSeconds)).second;
        const std::optional<PeriodHours> hours = s.intervalSeconds == kDaySeconds
                                                     ? std::optional(s.periodHours(start, end))
                                                     : std::nullopt;
        out.push_back({s.query.zone.at(start), s.query.zone.at(end),
                       s.ranked(used, hours ? &*hours : nullptr, s.intervalEvents[start])});
        byGroup.clear(); // its levels are no longer needed
    }
    return out;
}

std::vector<EventFigures> FigureBuilder::events() {
    State &s = *m_state;
    std::vector<EventFigures> out = s.listed;
    if (s.ruleWatch)
        for (const core::AlarmEvent &event : s.ruleWatch->going())
            out.push_back(s.eventFigures(event, true));
    return out;
}

SpanFigures spanFigures(std::span<const logbook::LogRecord> records, const SpanQuery &query) {
    FigureBuilder builder(query);
    builder.add(compactLog(records));
    return builder.span();
}

} // namespace stats
