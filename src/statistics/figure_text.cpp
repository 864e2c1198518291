#include "statistics/figure_text.h"

#include "core/number_text.h"
#include "core/reading_texts.h"
#include "core/time_stamp.h"
#include "log/csv_export.h"

#include <QJsonArray>
#include <QJsonValue>

namespace stats {

namespace {

const QString kSeconds = QStringLiteral("s");
const QString kPercent = QStringLiteral("%");

bool isSound(const GroupFigures &g) { return g.function == core::kFunctionSound; }

/// "8:00:00" for 28800 seconds.
QString clockDuration(double seconds) {
    const qint64 whole = qint64(std::llround(seconds));
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QJsonValue json(const std::optional<double> &value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

} // namespace

QString FigureRow::shown() const {
    if (!value)
        return text.isEmpty() ? QStringLiteral("none") : text;
    const QString number = QString::number(*value, 'f', 2);
    return unit.isEmpty() ? number : number + u' ' + unit;
}

QString groupTitle(const GroupFigures &group) {
    return group.unit.isEmpty() ? group.function : group.function + u' ' + group.unit;
}

std::vector<FigureRow> figureRows(const GroupFigures &g) {
    const QString &unit = g.unit;
    std::vector<FigureRow> rows{
        {QStringLiteral("Readings"), QString::number(g.readings), {}, {}},
        {QStringLiteral("Overloads"),
         QStringLiteral("%1 (%2 s)").arg(g.overloads).arg(g.overloadSeconds, 0, 'f', 2),
         {},
         {}},
        {QStringLiteral("First"), core::isoTimeWithOffset(g.first), {}, {}},
        {QStringLiteral("Last"), core::isoTimeWithOffset(g.last), {}, {}},
        {QStringLiteral("Measured time"),
         QStringLiteral("%1 s (%2)").arg(g.seconds, 0, 'f', 2).arg(clockDuration(g.seconds)),
         {},
         {}},
        {QStringLiteral("Minimum"), {}, g.min, unit},
        {QStringLiteral("Maximum"), {}, g.max, unit},
    };
    if (isSound(g)) {
        rows.insert(
            rows.end(),
            {{QStringLiteral("Leq"), {}, g.leq, unit},
             {QStringLiteral("L10"), {}, g.l10, unit},
             {QStringLiteral("L50"), {}, g.l50, unit},
             {QStringLiteral("L90"), {}, g.l90, unit},
             {QStringLiteral("LEX,8h"), {}, g.lex8h, unit},
             {QStringLiteral("Dose (NIOSH)"), {}, g.doseNiosh, kPercent},
             {QStringLiteral("Dose (OSHA)"), {}, g.doseOsha, kPercent},
             {QStringLiteral("Projected 8 h dose (NIOSH)"), {}, g.projectedDoseNiosh, kPercent},
             {QStringLiteral("Projected 8 h dose (OSHA)"), {}, g.projectedDoseOsha, kPercent}});
    } else {
        rows.push_back({QStringLiteral("Mean"), {}, g.mean, unit});
    }
    if (g.function == core::kFunctionTemp)
        rows.push_back({QStringLiteral("Mean kinetic temperature"), {}, g.mkt, unit});
    if (g.function == core::kFunctionLight)
        rows.push_back({QStringLiteral("Exposure"), {}, g.luxHours, QStringLiteral("lux-hours")});
    for (const auto &[name, level] :
         {std::pair("Lday (07:00-19:00)", g.lday), std::pair("Levening (19:00-23:00)", g.levening),
          std::pair("Lnight (23:00-07:00)", g.lnight), std::pair("Lden", g.lden)})
        if (level)
            rows.push_back({QLatin1String(name), {}, level, unit});
    if (g.aboveHiSeconds)
        rows.push_back({QStringLiteral("Time at or above HI"), {}, g.aboveHiSeconds, kSeconds});
    if (g.eventsAboveHi)
        rows.push_back(
            {QStringLiteral("Events at or above HI"), QString::number(*g.eventsAboveHi), {}, {}});
    if (g.belowLowSeconds)
        rows.push_back({QStringLiteral("Time at or below LOW"), {}, g.belowLowSeconds, kSeconds});
    if (g.eventsBelowLow)
        rows.push_back(
            {QStringLiteral("Events at or below LOW"), QString::number(*g.eventsBelowLow), {}, {}});
    return rows;
}

QStringList statisticsLines(const QString &title, const SpanFigures &figures,
                            const QString &separator) {
    QStringList lines{title};
    for (const GroupFigures &group : figures.groups) {
        lines.append(QString());
        lines.append(groupTitle(group));
        for (const FigureRow &row : figureRows(group))
            lines.append(row.name + separator + row.shown());
        if (isSound(group))
            lines.append(kSoundWeightingNote);
    }
    return lines + spanRemarks(figures);
}

QStringList spanRemarks(const SpanFigures &figures) {
    QStringList remarks;
    if (figures.groups.empty())
        remarks.append(QStringLiteral("No readings in this span."));
    if (figures.leftOut > 0)
        remarks.append(QStringLiteral("%1 records left out: no function, a time stamp that "
                                      "cannot be read, or no number.")
                           .arg(figures.leftOut));
    return remarks;
}

QByteArray figureRowsCsv(const SpanFigures &figures) {
    QString csv = QStringLiteral("GROUP,FIGURE,VALUE,UNIT\r\n");
    for (const GroupFigures &group : figures.groups) {
        for (const FigureRow &row : figureRows(group)) {
            const QString value = row.value ? core::doubleText(*row.value) : row.text;
            csv += QStringList{logbook::csvField(groupTitle(group)), logbook::csvField(row.name),
                               logbook::csvField(value), logbook::csvField(row.unit)}
                       .join(u',') +
                   QStringLiteral("\r\n");
        }
    }
    return csv.toUtf8();
}

std::vector<std::pair<QString, QJsonValue>> groupValues(const GroupFigures &g, bool interval) {
    using Pairs = std::vector<std::pair<QString, QJsonValue>>;
    Pairs v{{QStringLiteral("function"), g.function},
            {QStringLiteral("unit"), g.unit},
            {QStringLiteral("readings"), g.readings},
            {QStringLiteral("overloads"), g.overloads},
            {QStringLiteral("overload_seconds"), g.overloadSeconds},
            {QStringLiteral("first"), core::isoTimeWithOffset(g.first)},
            {QStringLiteral("last"), core::isoTimeWithOffset(g.last)},
            {QStringLiteral("seconds"), g.seconds},
            {QStringLiteral("min"), json(g.min)},
            {QStringLiteral("max"), json(g.max)}};
    const auto add = [&v](const char *key, const std::optional<double> &value) {
        v.emplace_back(QLatin1String(key), json(value));
    };
    if (isSound(g)) {
        for (const auto &[key, value] : {std::pair("leq", g.leq), std::pair("l10", g.l10),
                                         std::pair("l50", g.l50), std::pair("l90", g.l90)})
            add(key, value);
        if (!interval)
            add("lex8h", g.lex8h);
        add("dose_niosh", g.doseNiosh);
        add("dose_osha", g.doseOsha);
        if (!interval) {
            add("projected_dose_niosh", g.projectedDoseNiosh);
            add("projected_dose_osha", g.projectedDoseOsha);
        }
    } else {
        add("mean", g.mean);
    }
    if (g.function == core::kFunctionTemp)
        add("mkt", g.mkt);
    if (g.function == core::kFunctionLight)
        add("lux_hours", g.luxHours);
    if (g.hi) {
        add("hi", g.hi);
        add("above_hi_seconds", g.aboveHiSeconds);
        v.emplace_back(QStringLiteral("events_above_hi"), g.eventsAboveHi.value_or(0));
    }
    if (g.low) {
        add("low", g.low);
        add("below_low_seconds", g.belowLowSeconds);
        v.emplace_back(QStringLiteral("events_below_low"), g.eventsBelowLow.value_or(0));
    }
    if (interval && isSound(g) && (g.lday || g.levening || g.lnight)) {
        add("lday", g.lday);
        add("levening", g.levening);
        add("lnight", g.lnight);
        add("lden", g.lden);
    }
    return v;
}

QJsonArray groupsJson(const std::vector<GroupFigures> &groups, bool interval) {
    QJsonArray array;
    for (const GroupFigures &g : groups) {
        QJsonObject o;
        for (const auto &[key, value] : groupValues(g, interval))
            o.insert(key, value);
        array.append(o);
    }
    return array;
}

} // namespace stats
