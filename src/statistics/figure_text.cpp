#include "statistics/figure_text.h"

#include "core/number_text.h"
#include "core/time_stamp.h"
#include "log/csv_export.h"

#include <QJsonArray>

namespace stats {

namespace {

const QString kSeconds = QStringLiteral("s");
const QString kPercent = QStringLiteral("%");

bool isSound(const GroupFigures &g) { return g.function == u"Sound"; }

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
        {QStringLiteral("First"), core::isoTimeOfClockSeconds(g.first), {}, {}},
        {QStringLiteral("Last"), core::isoTimeOfClockSeconds(g.last), {}, {}},
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
    if (g.function == u"Temp")
        rows.push_back({QStringLiteral("Mean kinetic temperature"), {}, g.mkt, unit});
    if (g.function == u"Light")
        rows.push_back({QStringLiteral("Exposure"), {}, g.luxHours, QStringLiteral("lux-hours")});
    if (g.aboveHiSeconds)
        rows.push_back({QStringLiteral("Time at or above HI"), {}, g.aboveHiSeconds, kSeconds});
    if (g.belowLowSeconds)
        rows.push_back({QStringLiteral("Time at or below LOW"), {}, g.belowLowSeconds, kSeconds});
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

QByteArray statisticsCsv(const SpanFigures &figures) {
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

QJsonObject statisticsJson(const QString &file, const SpanFigures &figures) {
    QJsonArray groups;
    for (const GroupFigures &g : figures.groups) {
        QJsonObject o{{QStringLiteral("function"), g.function},
                      {QStringLiteral("unit"), g.unit},
                      {QStringLiteral("readings"), g.readings},
                      {QStringLiteral("overloads"), g.overloads},
                      {QStringLiteral("overload_seconds"), g.overloadSeconds},
                      {QStringLiteral("first"), core::isoTimeOfClockSeconds(g.first)},
                      {QStringLiteral("last"), core::isoTimeOfClockSeconds(g.last)},
                      {QStringLiteral("seconds"), g.seconds},
                      {QStringLiteral("min"), json(g.min)},
                      {QStringLiteral("max"), json(g.max)}};
        if (isSound(g)) {
            o.insert(QStringLiteral("leq"), json(g.leq));
            o.insert(QStringLiteral("l10"), json(g.l10));
            o.insert(QStringLiteral("l50"), json(g.l50));
            o.insert(QStringLiteral("l90"), json(g.l90));
            o.insert(QStringLiteral("lex8h"), json(g.lex8h));
            o.insert(QStringLiteral("dose_niosh"), json(g.doseNiosh));
            o.insert(QStringLiteral("dose_osha"), json(g.doseOsha));
            o.insert(QStringLiteral("projected_dose_niosh"), json(g.projectedDoseNiosh));
            o.insert(QStringLiteral("projected_dose_osha"), json(g.projectedDoseOsha));
        } else {
            o.insert(QStringLiteral("mean"), json(g.mean));
        }
        if (g.function == u"Temp")
            o.insert(QStringLiteral("mkt"), json(g.mkt));
        if (g.function == u"Light")
            o.insert(QStringLiteral("lux_hours"), json(g.luxHours));
        if (g.hi) {
            o.insert(QStringLiteral("hi"), *g.hi);
            o.insert(QStringLiteral("above_hi_seconds"), json(g.aboveHiSeconds));
        }
        if (g.low) {
            o.insert(QStringLiteral("low"), *g.low);
            o.insert(QStringLiteral("below_low_seconds"), json(g.belowLowSeconds));
        }
        groups.append(o);
    }
    return {{QStringLiteral("file"), file},
            {QStringLiteral("groups"), groups},
            {QStringLiteral("left_out"), figures.leftOut}};
}

} // namespace stats
