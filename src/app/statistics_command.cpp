#include "app/statistics_command.h"

#include "core/number_text.h"
#include "core/time_stamp.h"
#include "statistics/figure_text.h"
#include "statistics/figures.h"

#include <QCommandLineParser>
#include <QDir>
#include <QJsonDocument>
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

/// The names a limit may be given for, as the user writes them, with the log's function names.
const std::map<QString, QString> kLimitFunctions{
    {QStringLiteral("sound"), QStringLiteral("Sound")},
    {QStringLiteral("humidity"), QStringLiteral("Humidity")},
    {QStringLiteral("temp"), QStringLiteral("Temp")},
    {QStringLiteral("temperature"), QStringLiteral("Temp")},
    {QStringLiteral("light"), QStringLiteral("Light")}};

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
         QStringLiteral("Print the figures of this log instead of opening the window."),
         QStringLiteral("logfile")},
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
        {kJson, QStringLiteral("With --statistics: one JSON object instead of a table.")},
    };
}

int runStatisticsCommand(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(statisticsOptions());
    const auto fail = [&err](const QString &why) {
        err << "envmeter: " << why << Qt::endl;
        return 2;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments()[0]));

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

    const QString file = parser.value(kStatistics);
    logbook::DatabaseError error;
    const std::optional<std::vector<logbook::LogRecord>> records =
        stats::readLogRecords(file, error);
    if (!records)
        return fail(QStringLiteral("%1 cannot be read as a log: %2")
                        .arg(QDir::toNativeSeparators(file), error.reason));
    const stats::SpanFigures figures = stats::spanFigures(*records, query);
    if (parser.isSet(kJson))
        out << QJsonDocument(stats::statisticsJson(file, figures)).toJson(QJsonDocument::Indented);
    else
        out << stats::statisticsLines(QDir::toNativeSeparators(file), figures, QStringLiteral(": "))
                   .join(u'\n')
            << Qt::endl;
    return 0;
}

} // namespace app
