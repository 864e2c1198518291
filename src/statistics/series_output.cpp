#include "statistics/series_output.h"

#include "core/reading_texts.h"
#include "core/time_stamp.h"
#include "log/csv_export.h"
#include "statistics/figure_text.h"

#include <QDir>
#include <QJsonArray>

#include <map>

namespace stats {

namespace {

/// An event's values by the names scripts know them by.
QJsonObject eventJson(const EventFigures &e) {
    QJsonObject json{
        {QStringLiteral("rule"), e.rule},
        {QStringLiteral("function"), e.function},
        {QStringLiteral("unit"), e.unit},
        {QStringLiteral("kind"), e.above ? QStringLiteral("above") : QStringLiteral("below")},
        {QStringLiteral("limit"), e.limit},
        {QStringLiteral("start"), core::isoTimeWithOffset(e.start)},
        {QStringLiteral("end"), core::isoTimeWithOffset(e.end)},
        {QStringLiteral("seconds"), double(e.end.utc - e.start.utc)},
        {QStringLiteral("peak"), e.peak},
        {QStringLiteral("raised"), e.raised},
        {QStringLiteral("going"), e.going},
        {QStringLiteral("from_summaries"), e.fromSummaries}};
    if (e.function == core::kFunctionSound)
        json.insert(QStringLiteral("leq"), e.leq ? QJsonValue(*e.leq) : QJsonValue());
    return json;
}

/// The keys of an event, in the CSV's order.
const QStringList kEventKeys =
    QStringLiteral(
        "rule function unit kind limit start end seconds peak leq raised going from_summaries")
        .split(u' ');

/// The groups of a series as JSON, each saying whose it is where there are several series.
QJsonArray labelledGroups(const std::vector<GroupFigures> &groups, const Series &series,
                          bool interval, bool label) {
    QJsonArray json = groupsJson(groups, interval);
    if (label && !series.key.isEmpty())
        for (QJsonValueRef group : json) {
            QJsonObject object = group.toObject();
            object.insert(series.key, series.name);
            group = object;
        }
    return json;
}

/// A CSV field of a value: numbers unrounded, texts quoted where they must be.
QString csvValue(const QJsonValue &value) {
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 15);
    return value.isString() ? logbook::csvField(value.toString()) : QString();
}

/// Whose a CSV line is where there are several series: its meter, its folder.
QStringList whoseFields(const Series &s) {
    return {logbook::csvField(s.key == u"meter" ? s.name : QString()),
            logbook::csvField(s.key == u"folder" ? s.name : QString())};
}

QByteArray csvText(const QStringList &lines) {
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

/// An event in a line: "sound_above 85 dB: 2026-12-08T14:03:27+01:00 to ...: 12 s, peak 90
/// dB, Leq 88.2 dB; raised".
QString eventLine(const EventFigures &e) {
    const auto level = [&e](double v) {
        return QString::number(v, 'f', 1) + (e.unit.isEmpty() ? QString() : u' ' + e.unit);
    };
    return QStringLiteral("%1 %2: %3 to %4: %5 s, peak %6%7; %8")
               .arg(e.rule, level(e.limit), core::isoTimeWithOffset(e.start),
                    core::isoTimeWithOffset(e.end))
               .arg(e.end.utc - e.start.utc)
               .arg(level(e.peak), e.leq ? QStringLiteral(", Leq ") + level(*e.leq) : QString(),
                    e.going    ? QStringLiteral("still going")
                    : e.raised ? QStringLiteral("raised")
                               : QStringLiteral("too short to raise")) +
           (e.fromSummaries ? QStringLiteral(" (from minute summaries)") : QString());
}

/// The retired logs a series' figures take from their minute summaries, a line each.
QStringList summarisedLines(const HistoryFigures &figures) {
    QStringList lines;
    for (const SummarisedLog &log : figures.summarised)
        lines.append(QStringLiteral("From the minute summaries of the retired %1: %2 to %3")
                         .arg(QDir::toNativeSeparators(log.file),
                              core::isoTimeWithOffset(log.first),
                              core::isoTimeWithOffset(log.last)));
    return lines;
}

QJsonArray summarisedJson(const std::vector<Series> &series) {
    QJsonArray json;
    for (const Series &s : series)
        for (const SummarisedLog &log : s.figures.summarised)
            json.append(QJsonObject{{QStringLiteral("file"), log.file},
                                    {QStringLiteral("first"), core::isoTimeWithOffset(log.first)},
                                    {QStringLiteral("last"), core::isoTimeWithOffset(log.last)}});
    return json;
}

/// The intervals of every series by their start, each once, with the series' groups in turn.
std::map<qint64, std::vector<std::pair<const Series *, const IntervalFigures *>>>
intervalsByStart(const std::vector<Series> &series) {
    std::map<qint64, std::vector<std::pair<const Series *, const IntervalFigures *>>> byStart;
    for (const Series &s : series)
        for (const IntervalFigures &i : s.figures.intervals)
            byStart[i.start.utc].emplace_back(&s, &i);
    return byStart;
}

} // namespace

QJsonObject seriesJson(const std::vector<Series> &series, bool byInterval, bool events) {
    const bool label = series.size() > 1;
    QStringList files;
    QJsonArray unread;
    QJsonArray groups;
    qint64 leftOut = 0;
    for (const Series &s : series) {
        files += s.figures.files;
        for (const auto &[file, why] : s.figures.unread)
            unread.append(
                QJsonObject{{QStringLiteral("file"), file}, {QStringLiteral("reason"), why}});
        for (const QJsonValue &group : labelledGroups(s.figures.span.groups, s, false, label))
            groups.append(group);
        leftOut += s.figures.span.leftOut;
    }
    QJsonObject json{{QStringLiteral("files"), QJsonArray::fromStringList(files)},
                     {QStringLiteral("unread"), unread},
                     {QStringLiteral("from_summaries"), summarisedJson(series)},
                     {QStringLiteral("groups"), groups},
                     {QStringLiteral("left_out"), leftOut}};
    // As it always was for one log.
    if (series.size() == 1 && series[0].paths.size() == 1 && series[0].key.isEmpty())
        json.insert(QStringLiteral("file"), series[0].paths[0]);
    if (byInterval) {
        QJsonArray intervals;
        for (const auto &[start, parts] : intervalsByStart(series)) {
            QJsonArray groupsThen;
            for (const auto &[s, i] : parts)
                for (const QJsonValue &group : labelledGroups(i->groups, *s, true, label))
                    groupsThen.append(group);
            intervals.append(QJsonObject{
                {QStringLiteral("start"), core::isoTimeWithOffset(parts.front().second->start)},
                {QStringLiteral("end"), core::isoTimeWithOffset(parts.front().second->end)},
                {QStringLiteral("groups"), groupsThen}});
        }
        json.insert(QStringLiteral("intervals"), intervals);
    }
    if (events) {
        QJsonArray listed;
        for (const Series &s : series)
            for (const EventFigures &e : s.figures.events) {
                QJsonObject event = eventJson(e);
                if (label && !s.key.isEmpty())
                    event.insert(s.key, s.name);
                listed.append(event);
            }
        json.insert(QStringLiteral("events"), listed);
    }
    return json;
}

QByteArray eventsCsv(const std::vector<Series> &series) {
    const bool label = series.size() > 1;
    QStringList out{
        (kEventKeys +
         (label ? QStringList{QStringLiteral("meter"), QStringLiteral("folder")} : QStringList{}))
            .join(u',')};
    for (const Series &s : series)
        for (const EventFigures &e : s.figures.events) {
            const QJsonObject json = eventJson(e);
            QStringList fields;
            for (const QString &key : kEventKeys)
                fields.append(json[key].isBool() ? (json[key].toBool() ? QStringLiteral("true")
                                                                       : QStringLiteral("false"))
                                                 : csvValue(json[key]));
            if (label)
                fields += whoseFields(s);
            out.append(fields.join(u','));
        }
    return csvText(out);
}

QByteArray seriesCsv(const std::vector<Series> &series, bool byInterval) {
    const bool label = series.size() > 1;
    QStringList lead;
    if (byInterval)
        lead << QStringLiteral("start") << QStringLiteral("end");
    if (label)
        lead << QStringLiteral("meter") << QStringLiteral("folder");
    const auto line = [label](QStringList fields, const Series &s, const GroupFigures &g,
                              bool interval) {
        if (label)
            fields += whoseFields(s);
        std::map<QString, QJsonValue> values;
        for (const auto &[key, value] : groupValues(g, interval))
            values.emplace(key, value);
        for (const QString &key : kGroupKeys)
            fields.append(values.count(key) ? csvValue(values.at(key)) : QString());
        return fields.join(u',');
    };
    QStringList out{(lead + kGroupKeys).join(u',')};
    if (byInterval) {
        for (const auto &[start, parts] : intervalsByStart(series))
            for (const auto &[s, i] : parts)
                for (const GroupFigures &g : i->groups)
                    out.append(
                        line({core::isoTimeWithOffset(i->start), core::isoTimeWithOffset(i->end)},
                             *s, g, true));
    } else {
        for (const Series &s : series)
            for (const GroupFigures &g : s.figures.span.groups)
                out.append(line({}, s, g, false));
    }
    return csvText(out);
}

QStringList seriesTable(const std::vector<Series> &series, bool events) {
    QStringList lines;
    for (const Series &s : series) {
        if (!lines.isEmpty())
            lines.append(QString());
        QStringList files;
        for (const QString &file : s.figures.files)
            files.append(QDir::toNativeSeparators(file));
        const QString logs = files.size() == 1 ? files[0]
                                               : QStringLiteral("%1 logs: %2")
                                                     .arg(files.size())
                                                     .arg(files.join(QStringLiteral(", ")));
        const QString title =
            series.size() > 1 && !s.key.isEmpty()
                ? QStringLiteral("%1 %2, %3")
                      .arg(s.key == u"meter" ? QStringLiteral("Meter") : QStringLiteral("Folder"),
                           s.name, logs)
                : logs;
        lines += statisticsLines(title, s.figures.span, QStringLiteral(": "));
        lines += summarisedLines(s.figures);
        for (const IntervalFigures &i : s.figures.intervals) {
            lines.append(QString());
            lines += statisticsLines(
                QStringLiteral("From %1 to %2")
                    .arg(core::isoTimeWithOffset(i.start), core::isoTimeWithOffset(i.end)),
                {i.groups, 0}, QStringLiteral(": "));
        }
        if (events) {
            lines.append(QString());
            lines.append(s.figures.events.empty() ? QStringLiteral("No events")
                                                  : QStringLiteral("Events"));
            for (const EventFigures &e : s.figures.events)
                lines.append(QStringLiteral("  ") + eventLine(e));
        }
    }
    return lines;
}

} // namespace stats
