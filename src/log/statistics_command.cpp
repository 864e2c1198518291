#include "log/statistics_command.h"

#include "core/number_text.h"
#include "core/time_stamp.h"
#include "log/statistics.h"
#include "log/statistics_text.h"

#include <QCommandLineParser>
#include <QDir>
#include <QJsonDocument>
#include <QTextStream>

#include <cstring>

namespace logbook {

namespace {

const QString kStatistics = QStringLiteral("statistics");

} // namespace

bool asksForStatistics(int argc, char *argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char *option : {"--statistics", "-statistics"})
            if (std::strncmp(argv[i], option, std::strlen(option)) == 0 &&
                (argv[i][std::strlen(option)] == '\0' || argv[i][std::strlen(option)] == '='))
                return true;
    return false;
}

int runStatisticsCommand(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    const QCommandLineOption statistics(kStatistics, QStringLiteral("The figures of this log."),
                                        QStringLiteral("logfile"));
    const QCommandLineOption from(QStringLiteral("from"),
                                  QStringLiteral("The span's first time, yyyy-MM-ddTHH:mm:ss."),
                                  QStringLiteral("time"));
    const QCommandLineOption to(QStringLiteral("to"),
                                QStringLiteral("The span's last time, yyyy-MM-ddTHH:mm:ss."),
                                QStringLiteral("time"));
    const QCommandLineOption hi(QStringLiteral("hi"),
                                QStringLiteral("Count the time at or above this value."),
                                QStringLiteral("value"));
    const QCommandLineOption low(QStringLiteral("low"),
                                 QStringLiteral("Count the time at or below this value."),
                                 QStringLiteral("value"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("One JSON object instead of a table."));
    parser.addOptions({statistics, from, to, hi, low, json});
    const auto fail = [&err](const QString &why) {
        err << "envmeter: " << why << Qt::endl;
        return 2;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments()[0]));

    SpanQuery query;
    for (const auto &[option, bound] : {std::pair(&from, &query.from), std::pair(&to, &query.to)}) {
        if (!parser.isSet(*option))
            continue;
        *bound = core::clockSecondsOfIso(parser.value(*option));
        if (!*bound)
            return fail(QStringLiteral("--%1 needs a time as yyyy-MM-ddTHH:mm:ss, not \"%2\"")
                            .arg(option->names().first(), parser.value(*option)));
    }
    for (const auto &[option, limit] : {std::pair(&hi, &query.hi), std::pair(&low, &query.low)}) {
        if (!parser.isSet(*option))
            continue;
        *limit = core::strictNumber(parser.value(*option));
        if (!*limit)
            return fail(QStringLiteral("--%1 needs a number, not \"%2\"")
                            .arg(option->names().first(), parser.value(*option)));
    }

    const QString file = parser.value(statistics);
    DatabaseError error;
    const std::optional<std::vector<LogRecord>> records = readLogRecords(file, error);
    if (!records)
        return fail(QStringLiteral("%1 cannot be read as a log: %2")
                        .arg(QDir::toNativeSeparators(file), error.reason));
    const SpanFigures figures = spanFigures(*records, query);
    if (parser.isSet(json))
        out << QJsonDocument(statisticsJson(file, figures, query)).toJson(QJsonDocument::Indented);
    else
        out << statisticsLines(QDir::toNativeSeparators(file), figures, QStringLiteral(": "))
                   .join(u'\n')
            << Qt::endl;
    return 0;
}

} // namespace logbook
