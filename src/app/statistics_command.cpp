#include "app/statistics_command.h"

#include "core/number_text.h"
#include "core/reading_texts.h"
#include "core/time_stamp.h"
#include "log/csv_export.h"
#include "statistics/figure_text.h"
#include "statistics/figures.h"
#include "statistics/log_history.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <cstring>
#include <map>

namespace app {

namespace {

const QString kStatistics = QStringLiteral("statistics");
const QString kFrom = QStringLiteral("from");
const QString kTo = QStringLiteral("to");
const QString kHi = QStringLiteral("hi");
const QString kLow = QStringLiteral("low");
const QString kJson = QStringLiteral("json");
const QString kCsv = QStringLiteral("csv");
const QString kInterval = QStringLiteral("interval");

/// The interval lengths, as the user writes them.
const std::map<QString, int> kIntervals{{QStringLiteral("1m"), 60},
                                        {QStringLiteral("15m"), 900},
                                        {QStringLiteral("1h"), 3600},
                                        {QStringLiteral("1d"), 86400}};

/// The columns of the CSV: every key a group may have, in the JSON's order.
const QStringList kCsvKeys{QStringLiteral("function"),
                           QStringLiteral("unit"),
                           QStringLiteral("readings"),
                           QStringLiteral("overloads"),
                           QStringLiteral("overload_seconds"),
                           QStringLiteral("first"),
                           QStringLiteral("last"),
                           QStringLiteral("seconds"),
                           QStringLiteral("min"),
                           QStringLiteral("max"),
                           QStringLiteral("mean"),
                           QStringLiteral("leq"),
                           QStringLiteral("l10"),
                           QStringLiteral("l50"),
                           QStringLiteral("l90"),
                           QStringLiteral("lex8h"),
                           QStringLiteral("dose_niosh"),
                           QStringLiteral("dose_osha"),
                           QStringLiteral("projected_dose_niosh"),
                           QStringLiteral("projected_dose_osha"),
                           QStringLiteral("mkt"),
                           QStringLiteral("lux_hours"),
                           QStringLiteral("hi"),
                           QStringLiteral("above_hi_seconds"),
                           QStringLiteral("low"),
                           QStringLiteral("below_low_seconds"),
                           QStringLiteral("lday"),
                           QStringLiteral("levening"),
                           QStringLiteral("lnight"),
                           QStringLiteral("lden")};

/// The names a limit may be given for, as the user writes them, with the log's function names.
const std::map<QString, QString> kLimitFunctions{
    {QStringLiteral("sound"), core::kFunctionSound},
    {QStringLiteral("humidity"), core::kFunctionHumidity},
    {QStringLiteral("temp"), core::kFunctionTemp},
    {QStringLiteral("temperature"), core::kFunctionTemp},
    {QStringLiteral("light"), core::kFunctionLight}};

/// Reads the values of --hi or --low: "85" for every function, "sound=85" for one, which wins.
/// Returns what is wrong, or nothing.
std::optional<QString> readLimit(const QString &option, const QStringList &values,
                                 stats::Limit &limit) {
    for (const QString &value : values) {
        const qsizetype equals = value.indexOf(u'=');
        const QString name = equals < 0 ? QString() : value.left(equals).trimmed().toLower();
        const std::optional<double> number = core::strictNumber(value.mid(equals + 1));
        const auto function = kLimitFunctions.find(name);
        if (!number || (equals >= 0 && function == kLimitFunctions.end()))
            return QStringLiteral("--%1 needs a number, or sound=, humidity=, temp= or light= "
                                  "and a number, not \"%2\"")
                .arg(option, value);
        const bool twice = equals < 0 ? limit.every.has_value()
                                      : !limit.byFunction.emplace(function->second, *number).second;
        if (twice)
            return QStringLiteral("--%1 gives %2 twice")
                .arg(option, equals < 0 ? QStringLiteral("a limit for every function") : name);
        if (equals < 0)
            limit.every = number;
    }
    return std::nullopt;
}

QJsonObject statisticsJson(const stats::HistoryFigures &figures, const QStringList &paths,
                           bool byInterval) {
    QJsonArray unread;
    for (const auto &[file, why] : figures.unread)
        unread.append(QJsonObject{{QStringLiteral("file"), file}, {QStringLiteral("reason"), why}});
    QJsonObject json{{QStringLiteral("files"), QJsonArray::fromStringList(figures.files)},
                     {QStringLiteral("unread"), unread},
                     {QStringLiteral("groups"), stats::groupsJson(figures.span.groups, false)},
                     {QStringLiteral("left_out"), figures.span.leftOut}};
    // As it always was for one log.
    if (paths.size() == 1 && !QFileInfo(paths[0]).isDir())
        json.insert(QStringLiteral("file"), paths[0]);
    if (byInterval) {
        QJsonArray intervals;
        for (const stats::IntervalFigures &i : figures.intervals)
            intervals.append(
                QJsonObject{{QStringLiteral("start"), core::isoTimeOfClockSeconds(i.start)},
                            {QStringLiteral("end"), core::isoTimeOfClockSeconds(i.end)},
                            {QStringLiteral("groups"), stats::groupsJson(i.groups, true)}});
        json.insert(QStringLiteral("intervals"), intervals);
    }
    return json;
}

/// A CSV field of a value: numbers unrounded, texts quoted where they must be.
QString csvValue(const QJsonValue &value) {
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 15);
    return value.isString() ? logbook::csvField(value.toString()) : QString();
}

QByteArray statisticsCsv(const stats::HistoryFigures &figures, bool byInterval) {
    const QStringList header =
        (byInterval ? QStringList{QStringLiteral("start"), QStringLiteral("end")} : QStringList{}) +
        kCsvKeys;
    const auto line = [](const QStringList &lead, const stats::GroupFigures &g, bool interval) {
        std::map<QString, QJsonValue> values;
        for (const auto &[key, value] : stats::groupValues(g, interval))
            values.emplace(key, value);
        QStringList fields = lead;
        for (const QString &key : kCsvKeys)
            fields.append(values.count(key) ? csvValue(values.at(key)) : QString());
        return fields.join(u',');
    };
    QStringList out{header.join(u',')};
    if (byInterval) {
        for (const stats::IntervalFigures &i : figures.intervals)
            for (const stats::GroupFigures &g : i.groups)
                out.append(
                    line({core::isoTimeOfClockSeconds(i.start), core::isoTimeOfClockSeconds(i.end)},
                         g, true));
    } else {
        for (const stats::GroupFigures &g : figures.span.groups)
            out.append(line({}, g, false));
    }
    return (out.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

/// The table: the logs read, the span's groups, then each interval's.
QStringList statisticsTable(const stats::HistoryFigures &figures) {
    QStringList files;
    for (const QString &file : figures.files)
        files.append(QDir::toNativeSeparators(file));
    QStringList lines = stats::statisticsLines(
        files.size() == 1
            ? files[0]
            : QStringLiteral("%1 logs: %2").arg(files.size()).arg(files.join(QStringLiteral(", "))),
        figures.span, QStringLiteral(": "));
    for (const stats::IntervalFigures &i : figures.intervals) {
        lines.append(QString());
        lines += stats::statisticsLines(
            QStringLiteral("From %1 to %2")
                .arg(core::isoTimeOfClockSeconds(i.start), core::isoTimeOfClockSeconds(i.end)),
            {i.groups, 0}, QStringLiteral(": "));
    }
    return lines;
}

} // namespace

bool asksForStatistics(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char *option : {"--statistics", "-statistics"})
            if (std::strncmp(argv[i], option, std::strlen(option)) == 0 &&
                (argv[i][std::strlen(option)] == '\0' || argv[i][std::strlen(option)] == '='))
                return true;
    return false;
}

QList<QCommandLineOption> statisticsOptions() {
    return {
        {kStatistics,
         QStringLiteral("Print the figures of the logs and data folders named after the options "
                        "(a folder: its history, every kept backup and the live log), or of the "
                        "program's data folder, instead of opening the window.")},
        {kFrom, QStringLiteral("With --statistics: the span's first time, yyyy-MM-ddTHH:mm:ss."),
         QStringLiteral("time")},
        {kTo, QStringLiteral("With --statistics: the span's last time, yyyy-MM-ddTHH:mm:ss."),
         QStringLiteral("time")},
        {kHi,
         QStringLiteral("With --statistics: count the time at or above this value, for every "
                        "function, or for one as sound=85 (also humidity=, temp=, light=), in "
                        "its own unit; may be given once for every function and once for each."),
         QStringLiteral("value")},
        {kLow, QStringLiteral("With --statistics: count the time at or below this value, as --hi."),
         QStringLiteral("value")},
        {kInterval,
         QStringLiteral("With --statistics: also the figures of each calendar interval of the "
                        "local clock: 1m, 15m, 1h or 1d."),
         QStringLiteral("length")},
        {kJson, QStringLiteral("With --statistics: one JSON object instead of a table.")},
        {kCsv,
         QStringLiteral("With --statistics: CSV instead of a table, a line for each group (and "
                        "interval).")},
    };
}

int runStatisticsCommand(const QStringList &arguments, const QString &dataFolder, QTextStream &out,
                         QTextStream &err) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(statisticsOptions());
    const auto fail = [&err](const QString &why) {
        err << "envmeter: " << why << Qt::endl;
        return 2;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());

    stats::SpanQuery query;
    for (const auto &[option, bound] : {std::pair(kFrom, &query.from), std::pair(kTo, &query.to)}) {
        if (!parser.isSet(option))
            continue;
        *bound = core::clockSecondsOfIso(parser.value(option));
        if (!*bound)
            return fail(QStringLiteral("--%1 needs a time as yyyy-MM-ddTHH:mm:ss, not \"%2\"")
                            .arg(option, parser.value(option)));
    }
    if (query.from && query.to && *query.from > *query.to)
        return fail(QStringLiteral("--from %1 is after --to %2: no time lies between them")
                        .arg(parser.value(kFrom), parser.value(kTo)));
    for (const auto &[option, limit] : {std::pair(kHi, &query.hi), std::pair(kLow, &query.low)})
        if (const std::optional<QString> wrong = readLimit(option, parser.values(option), *limit))
            return fail(*wrong);

    int interval = 0;
    if (parser.isSet(kInterval)) {
        const auto length = kIntervals.find(parser.value(kInterval));
        if (length == kIntervals.end())
            return fail(QStringLiteral("--interval takes 1m, 15m, 1h or 1d, not \"%1\"")
                            .arg(parser.value(kInterval)));
        interval = length->second;
    }
    if (parser.isSet(kJson) && parser.isSet(kCsv))
        return fail(QStringLiteral("--json and --csv cannot both be given"));

    QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        paths.append(dataFolder);
    for (const QString &path : paths)
        if (!QFileInfo::exists(path))
            return fail(QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)));
    const stats::HistoryFigures figures =
        stats::historyFigures(paths, query, interval, stats::cacheFolder());
    // A log named alone that is no log is a mistake; one of a history is left out and named.
    if (figures.files.isEmpty() && paths.size() == 1 && !QFileInfo(paths[0]).isDir() &&
        !figures.unread.empty())
        return fail(QStringLiteral("%1 cannot be read as a log: %2")
                        .arg(QDir::toNativeSeparators(paths[0]), figures.unread[0].second));
    for (const auto &[file, why] : figures.unread)
        err << "envmeter: " << QDir::toNativeSeparators(file) << " cannot be read as a log (" << why
            << "); it is left out" << Qt::endl;

    if (parser.isSet(kJson))
        out << QJsonDocument(statisticsJson(figures, paths, interval > 0))
                   .toJson(QJsonDocument::Indented);
    else if (parser.isSet(kCsv))
        out << statisticsCsv(figures, interval > 0);
    else
        out << statisticsTable(figures).join(u'\n') << Qt::endl;
    return 0;
}

} // namespace app
