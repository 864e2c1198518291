#include "app/envmeter/statistics_command.h"

#include "core/alarm_rules.h"
#include "core/meter_settings.h"
#include "core/number_text.h"
#include "core/settings_file.h"
#include "core/time_stamp.h"
#include "core/zone_clock.h"
#include "log/log_database.h"
#include "publish/publish_settings.h"
#include "report/statistics_page.h"
#include "statistics/figures.h"
#include "statistics/log_history.h"
#include "statistics/series_output.h"
#include "views/adapters/qt_printer.h"
#include "views/statistics/interval_chart_view.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

#include <unistd.h>

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
const QString kMeter = QStringLiteral("meter");
const QString kZone = QStringLiteral("tz");
const QString kEvents = QStringLiteral("events");
const QString kFor = QStringLiteral("for");
const QString kHysteresis = QStringLiteral("hysteresis");
const QString kChart = QStringLiteral("chart");
const QString kSize = QStringLiteral("size");
const QString kReport = QStringLiteral("report");

/// Progress on a terminal: "Reading the logs of FOLDER: 15 %", written over itself, once reading
/// has taken longer than half a second; nothing where standard error is no terminal.
class TerminalProgress {
  public:
    explicit TerminalProgress(QTextStream &err) : m_err(err), m_shown(::isatty(STDERR_FILENO)) {
        m_since.start();
    }
    ~TerminalProgress() {
        if (m_written)
            m_err << "\r\033[K" << Qt::flush;
    }
    TerminalProgress(const TerminalProgress &) = delete;
    TerminalProgress &operator=(const TerminalProgress &) = delete;

    stats::HistoryProgress of(const QString &what) {
        return [this, what](int done, int total) {
            if (m_shown && m_since.elapsed() >= kShowAfterMs) {
                // Each log is looked at twice (its first time, then its readings).
                m_err << "\r\033[KReading " << what << ": " << 100 * done / std::max(total, 1)
                      << " %" << Qt::flush;
                m_written = true;
            }
            return true;
        };
    }

  private:
    static constexpr int kShowAfterMs = 500;
    QTextStream &m_err;
    bool m_shown;
    bool m_written = false;
    QElapsedTimer m_since;
};

} // namespace

bool asksForStatistics(const QCommandLineParser &parser) { return parser.isSet(kStatistics); }

bool asksForDrawing(const QCommandLineParser &parser) {
    return parser.isSet(kChart) || parser.isSet(kReport);
}

QList<QCommandLineOption> statisticsOptions() {
    return {
        {kStatistics,
         QStringLiteral("Print the figures of the logs and data folders named after the options "
                        "(a folder: its history, every kept backup and the live log), or of the "
                        "program's data folder, instead of opening the window. Each folder and "
                        "each meter is answered on its own; the logs named alone are one "
                        "series.")},
        {kMeter,
         QStringLiteral("One of several meters, by its name: the window opens on its log in the "
                        "folder NAME of the data folder, with its settings NAME.conf beside "
                        "envmeter.conf ([meter] device= names its line); with --statistics, its "
                        "history (may be given for several meters)."),
         QStringLiteral("NAME")},
        {kFrom,
         QStringLiteral("With --statistics: the span's first time, yyyy-MM-ddTHH:mm:ss (or "
                        "yyyy-MM-dd HH:mm, or a date alone: from its first second), local time "
                        "(the first pass of an hour the clock read twice) unless an offset "
                        "follows: +01:00, -05:00 or Z."),
         QStringLiteral("time")},
        {kTo,
         QStringLiteral("With --statistics: the span's last time, as --from (a minute or a date "
                        "alone: to its last second)."),
         QStringLiteral("time")},
        {kZone,
         QStringLiteral("With --statistics: the time zone the logs were written in, as "
                        "Europe/Berlin: their time stamps are that zone's local clock (by default "
                        "this machine's zone, or $TZ)."),
         QStringLiteral("zone")},
        {kHi,
         QStringLiteral("With --statistics: count the time at or above this value, for every "
                        "function, or for one as sound=85 (also humidity=, temp=, light=), in "
                        "its own unit; may be given once for every function and once for each."),
         QStringLiteral("value")},
        {kLow, QStringLiteral("With --statistics: count the time at or below this value, as --hi."),
         QStringLiteral("value")},
        {kInterval,
         QStringLiteral("With --statistics: also the figures of each calendar interval of the "
                        "local clock, as lived (the autumn day has 25 hours): 1m, 15m, 1h or 1d."),
         QStringLiteral("length")},
        {kEvents,
         QStringLiteral("With --statistics: also list the events, each reading past a limit to "
                        "the reading that ended it, by --hi and --low, or else by the [alarm] "
                        "rules of envmeter.conf (and of NAME.conf for a meter). With --csv, the "
                        "events alone.")},
        {kFor,
         QStringLiteral("With --statistics: an event above --hi or below --low counts once it "
                        "has lasted this long: seconds, or with s, m or h (default 0)."),
         QStringLiteral("duration")},
        {kHysteresis,
         QStringLiteral("With --statistics: an event that counted ends at the first reading past "
                        "its limit by this much (default 0)."),
         QStringLiteral("value")},
        {kChart,
         QStringLiteral("With --statistics and --interval: also draw the intervals' chart, as in "
                        "the window, into this file: .png, .svg or .pdf."),
         QStringLiteral("file")},
        {kSize,
         QStringLiteral("With --chart: its size in pixels, as 1600x900 (default: at least 1200 "
                        "wide, 150 high a panel)."),
         QStringLiteral("WxH")},
        {kReport,
         QStringLiteral("With --statistics: also write the report of the span into this PDF "
                        "file: the figures, the intervals' chart and table, the events."),
         QStringLiteral("file.pdf")},
        {kJson, QStringLiteral("With --statistics: one JSON object instead of a table.")},
        {kCsv,
         QStringLiteral("With --statistics: CSV instead of a table, a line for each group (and "
                        "interval).")},
    };
}

int runStatisticsCommand(const QCommandLineParser &parser, const QString &dataFolder,
                         QTextStream &out, QTextStream &err) {
    const auto fail = [&err](const QString &why) {
        err << "envmeter: " << why << Qt::endl;
        return 2;
    };

    stats::SpanQuery query;
    if (parser.isSet(kZone)) {
        const QByteArray zone = parser.value(kZone).toUtf8();
        if (!QTimeZone::isTimeZoneIdAvailable(zone))
            return fail(QStringLiteral("--tz %1: no such time zone here (zones are named as "
                                       "Europe/Berlin or America/New_York)")
                            .arg(parser.value(kZone)));
        query.zone = core::ZoneClock(QTimeZone(zone));
    }
    for (const auto &[option, bound] : {std::pair(kFrom, &query.from), std::pair(kTo, &query.to)}) {
        if (!parser.isSet(option))
            continue;
        *bound = core::instantOfBound(parser.value(option), option == kTo, query.zone);
        if (!*bound)
            return fail(QStringLiteral("--%1 needs a time as yyyy-MM-ddTHH:mm:ss (or yyyy-MM-dd "
                                       "HH:mm, or a date alone), an offset such as +01:00 after "
                                       "it if need be, not \"%2\"")
                            .arg(option, parser.value(option)));
    }
    if (query.from && query.to && *query.from > *query.to)
        return fail(QStringLiteral("--from %1 is after --to %2: no time lies between them")
                        .arg(parser.value(kFrom), parser.value(kTo)));
    for (const auto &[option, limit] : {std::pair(kHi, &query.hi), std::pair(kLow, &query.low)})
        if (const std::optional<QString> wrong =
                stats::readLimit(QStringLiteral("--") + option, parser.values(option), *limit))
            return fail(*wrong);
    if (parser.isSet(kFor)) {
        const std::optional<double> seconds = core::readDuration(parser.value(kFor));
        if (!seconds)
            return fail(QStringLiteral("--for takes seconds, or a number with s, m or h (90, "
                                       "15m, 1h), not \"%1\"")
                            .arg(parser.value(kFor)));
        query.forSeconds = *seconds;
    }
    if (parser.isSet(kHysteresis)) {
        const std::optional<double> back = core::strictNumber(parser.value(kHysteresis));
        if (!back || *back < 0)
            return fail(QStringLiteral("--hysteresis takes a number, 0 or more, not \"%1\"")
                            .arg(parser.value(kHysteresis)));
        query.hysteresis = *back;
    }

    int interval = 0;
    if (parser.isSet(kInterval)) {
        const auto choice =
            std::find_if(stats::kIntervalChoices.begin(), stats::kIntervalChoices.end(),
                         [&](const auto &c) { return c.option == parser.value(kInterval); });
        if (choice == stats::kIntervalChoices.end())
            return fail(QStringLiteral("--interval takes 1m, 15m, 1h or 1d, not \"%1\"")
                            .arg(parser.value(kInterval)));
        interval = choice->seconds;
    }
    if (parser.isSet(kJson) && parser.isSet(kCsv))
        return fail(QStringLiteral("--json and --csv cannot both be given"));
    if (parser.isSet(kChart) && interval == 0)
        return fail(QStringLiteral("--chart draws the intervals: give --interval too"));
    std::optional<QSize> chartSize;
    if (parser.isSet(kSize)) {
        const QStringList sides = parser.value(kSize).split(u'x');
        const int w = sides.size() == 2 ? sides[0].toInt() : 0;
        const int h = sides.size() == 2 ? sides[1].toInt() : 0;
        if (w < 200 || h < 100 || w > 20000 || h > 20000)
            return fail(QStringLiteral("--size takes the width and height in pixels, as "
                                       "1600x900 (200x100 to 20000x20000), not \"%1\"")
                            .arg(parser.value(kSize)));
        chartSize = QSize(w, h);
    }

    // The logs named alone are one series; each folder and each meter is a series of its own.
    std::vector<stats::Series> series;
    QStringList logs;
    for (const QString &path : parser.positionalArguments()) {
        const QFileInfo info(path);
        const QString shown = QDir::toNativeSeparators(path);
        if (!info.exists())
            return fail(QStringLiteral("%1 does not exist").arg(shown));
        // Opening a pipe or a device to read it as a log would wait for ever.
        if (!info.isDir() && !info.isFile())
            return fail(QStringLiteral("%1 is neither a log file nor a folder").arg(shown));
        if (info.isDir())
            series.push_back({{path}, QStringLiteral("folder"), shown, {}});
        else
            logs.append(path);
    }
    if (!logs.isEmpty())
        series.insert(series.begin(), stats::Series{logs, {}, {}, {}});
    for (const QString &name : parser.values(kMeter)) {
        if (const QString fault = core::meterNameFault(name); !fault.isEmpty())
            return fail(QStringLiteral("--meter %1: %2").arg(name, fault));
        const QString folder = QDir(dataFolder).filePath(name);
        if (!QFileInfo(folder).isDir()) {
            const QString unknown = core::unknownMeterFault(name, core::settingsFile(), dataFolder,
                                                            logbook::kLiveLogFile);
            return fail(QStringLiteral("--meter %1: %2")
                            .arg(name, !unknown.isEmpty()
                                           ? unknown
                                           : QStringLiteral("it has logged nothing yet (no folder "
                                                            "%1)")
                                                 .arg(QDir::toNativeSeparators(folder))));
        }
        series.push_back({{folder}, QStringLiteral("meter"), name, {}});
    }
    if (series.empty())
        series.push_back(
            {{dataFolder}, QStringLiteral("folder"), QDir::toNativeSeparators(dataFolder), {}});

    // A folder without a log is said, and left out; with nothing else named, it is a mistake.
    QStringList empty;
    std::erase_if(series, [&empty](const stats::Series &s) {
        const bool none = !s.key.isEmpty() && logbook::historyFiles(s.paths[0]).isEmpty();
        if (none)
            empty.append(QStringLiteral("%1 holds no log (db1.mdb, maxdb1.mdb or maxdb1-*.mdb)")
                             .arg(QDir::toNativeSeparators(s.paths[0])));
        return none;
    });
    if (series.empty())
        return fail(empty.join(QStringLiteral("\nenvmeter: ")));
    for (const QString &none : empty)
        err << "envmeter: " << none << "; it is left out" << Qt::endl;

    // The events listed: by the limits given, or by the alarms' settings of each series.
    const bool events = parser.isSet(kEvents);
    const bool byLimits = parser.isSet(kHi) || parser.isSet(kLow);
    std::vector<std::vector<core::AlarmRule>> rules;
    for (const stats::Series &s : series) {
        if (!events || byLimits) {
            rules.push_back(events ? stats::limitRules(query) : std::vector<core::AlarmRule>{});
            continue;
        }
        const QString file = core::settingsFile();
        const core::AlarmSettings settings = core::readAlarmSettings(
            file, s.key == u"meter" ? core::meterSettingsFile(file, s.name) : QString());
        if (!settings.mistakes.isEmpty())
            return fail(settings.mistakes.join(QStringLiteral("\nenvmeter: ")));
        if (settings.rules.empty())
            return fail(QStringLiteral("--events: no limit to find events by: give --hi or "
                                       "--low, or set them under [alarm] in %1")
                            .arg(QDir::toNativeSeparators(file)));
        rules.push_back(settings.rules);
    }
    {
        TerminalProgress progress(err);
        for (std::size_t n = 0; n < series.size(); ++n) {
            stats::Series &s = series[n];
            stats::SpanQuery seriesQuery = query;
            seriesQuery.eventRules = rules[n];
            s.figures = stats::historyFigures(
                s.paths, seriesQuery, interval, stats::cacheFolder(),
                progress.of(s.key.isEmpty() ? QStringLiteral("the logs")
                                            : QStringLiteral("the logs of %1").arg(s.name)));
        }
    }
    // A log named alone that is no log is a mistake; one of a history is left out and named.
    const stats::Series &first = series.front();
    if (series.size() == 1 && first.key.isEmpty() && first.paths.size() == 1 &&
        first.figures.files.isEmpty() && !first.figures.unread.empty())
        return fail(
            QStringLiteral("%1 cannot be read as a log: %2")
                .arg(QDir::toNativeSeparators(first.paths[0]), first.figures.unread[0].second));
    for (const stats::Series &s : series)
        for (const auto &[file, why] : s.figures.unread)
            err << "envmeter: " << QDir::toNativeSeparators(file) << " cannot be read as a log ("
                << why << "); it is left out" << Qt::endl;

    if (parser.isSet(kChart)) {
        if (series.size() > 1)
            return fail(QStringLiteral("--chart draws one series: name one folder, one meter or "
                                       "logs alone"));
        const stats::HistoryFigures &figures = series.front().figures;
        // A day of hours with room for every label; a panel of 150 px each.
        const QSize size = chartSize.value_or(QSize(
            std::max(views::IntervalChartView::kSavedWidth, int(figures.intervals.size()) * 24),
            views::intervalChartHeight(std::max(1, stats::chartPanels(figures.intervals)), 16)));
        if (const QString failed = views::saveIntervalChart(
                parser.value(kChart), size, figures.intervals, {figures.events, query.zone});
            !failed.isEmpty())
            return fail(QStringLiteral("--chart: %1").arg(failed));
    }
    if (parser.isSet(kReport)) {
        if (series.size() > 1)
            return fail(QStringLiteral("--report is of one series: name one folder, one meter or "
                                       "logs alone"));
        const stats::Series &s = series.front();
        views::QtPrinter printer(views::QtPrinter::PdfFile{parser.value(kReport)});
        QStringList files;
        for (const QString &file : s.figures.files)
            files.append(QDir::toNativeSeparators(file));
        const QString what =
            (s.key == u"meter" ? QStringLiteral("Meter %1: ").arg(s.name) : QString()) +
            (files.size() == 1 ? files[0]
                               : QStringLiteral("%1 logs of %2")
                                     .arg(files.size())
                                     .arg(QDir::toNativeSeparators(s.paths[0])));
        report::printStatistics(
            printer, what, s.figures.span, s.figures.intervals, s.figures.events,
            QStringLiteral("Made at %1")
                .arg(core::isoTimeWithOffset(query.zone.at(QDateTime::currentSecsSinceEpoch()))));
        if (const QString told = printer.finish(); printer.failed())
            return fail(QStringLiteral("--report: %1").arg(told));
    }
    if (parser.isSet(kJson))
        out << QJsonDocument(stats::seriesJson(series, interval > 0, events))
                   .toJson(QJsonDocument::Indented);
    else if (parser.isSet(kCsv))
        out << (events ? stats::eventsCsv(series) : stats::seriesCsv(series, interval > 0));
    else
        out << stats::seriesTable(series, events).join(u'\n') << Qt::endl;
    return 0;
}

} // namespace app
