// The statistics of a full log: 100,000 records of the four functions, a reading a second with
// a gap now and then, read from the file and computed, and computed alone. And of a data
// folder's history at the line rate (8.6 readings a second): a day in 8 logs hour by hour, read
// the first time and from the cache, and 30 days in 222 logs day by day from the cache, with the
// memory it takes and the cache's size against the logs'; that month charted to PNG, and a week
// of it hour by hour as a PDF report. A year of it day by day, and a month of the year hour by
// hour, once its logs were summarised.
#include "log/connection.h"
#include "log/log_database.h"
#include "report/statistics_page.h"
#include "resident_memory.h"
#include "statistics/figures.h"
#include "statistics/log_history.h"
#include "statistics/minute_summary.h"
#include "views/adapters/qt_printer.h"
#include "views/statistics/interval_chart_view.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 100000;

QString variedLog(const QTemporaryDir &dir) {
    const QString path = QDir(dir.path()).filePath(logbook::kLiveLogFile);
    logbook::createLogDatabase(path);
    logbook::Connection db;
    db.open(path);
    db.execute(QStringLiteral(
                   "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                   "INSERT INTO b1 SELECT i, "
                   "CASE i / 25000 WHEN 0 THEN 'Sound' WHEN 1 THEN 'Humidity' WHEN 2 THEN 'Temp' "
                   "ELSE 'Light' END, "
                   "CASE WHEN i % 97 = 0 THEN 'O.L' ELSE printf('%.1f', 40 + i % 61) END, "
                   "CASE i / 25000 WHEN 0 THEN 'dB' WHEN 1 THEN '%RH' WHEN 2 THEN 'C' "
                   "ELSE 'LUX' END, "
                   "strftime('%H:%M:%S/%m-%d-%Y', '2026-12-04 00:00:00', "
                   "'+' || (i + i / 500 * 30) || ' seconds'), -i FROM n")
                   .arg(kRecords - 1));
    return path;
}

/// HI 85 and LOW 40 for every function.
stats::SpanQuery withLimits() {
    stats::SpanQuery query;
    query.hi.every = 85.0;
    query.low.every = 40.0;
    return query;
}

void BM_StatisticsOfTheLog(benchmark::State &state) {
    QTemporaryDir dir;
    const QString log = variedLog(dir);
    logbook::DatabaseError error;
    for (auto _ : state) {
        const auto records = logbook::readLogRecords(log, error);
        benchmark::DoNotOptimize(stats::spanFigures(*records, withLimits()));
    }
}
BENCHMARK(BM_StatisticsOfTheLog)->Unit(benchmark::kMillisecond);

void BM_StatisticsComputedAlone(benchmark::State &state) {
    QTemporaryDir dir;
    logbook::DatabaseError error;
    const auto records = logbook::readLogRecords(variedLog(dir), error);
    for (auto _ : state)
        benchmark::DoNotOptimize(stats::spanFigures(*records, withLimits()));
    state.counters["records"] = double(records->size());
}
BENCHMARK(BM_StatisticsComputedAlone)->Unit(benchmark::kMillisecond);

constexpr int kLineRateTenths = 86; ///< readings in 10 seconds

/// Sound levels that sweep 40 to 100 dB in steps of 0.7 dB, reading by reading.
const QString kSweepingLevels = QStringLiteral("40 + (i * 7) % 600 / 10.0");
/// Sound levels as a room has them: within 4 dB in a minute, the band moving by a dB every four
/// minutes over 30 dB.
const QString kRoomLevels = QStringLiteral("45 + k / 2000 % 30 + (k * 7) % 41 / 10.0");

/// A data folder of `logs` logs at the line rate, 100,000 records each but the live one, which
/// holds `live`: kept backups maxdb1-<n>.mdb and db1.mdb, a sound reading every 116 ms of the
/// `levels` (of the record's index in its log, i, and in the history, k).
QString lineRateHistory(const QString &folder, int logs, int live,
                        const QString &levels = kSweepingLevels) {
    QDir().mkpath(folder);
    for (int n = 0; n < logs; ++n) {
        const bool last = n == logs - 1;
        const QString path = QDir(folder).filePath(
            last ? QString(logbook::kLiveLogFile)
                 : QStringLiteral("maxdb1-%1.mdb").arg(n, 4, 10, QLatin1Char('0')));
        if (QFileInfo::exists(path))
            continue;
        logbook::createLogDatabase(path);
        logbook::Connection db;
        db.open(path);
        const qint64 before = qint64(n) * kRecords;
        db.execute(QStringLiteral(
                       "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < "
                       "%1) INSERT INTO b1 SELECT i, 'Sound', printf('%.1f', %4), 'dB', "
                       "strftime('%H:%M:%S/%m-%d-%Y', '2026-11-01 00:00:00', '+' || (k * 10 / "
                       "%3) || ' seconds'), -i FROM (SELECT i, %2 + i AS k FROM n)")
                       .arg((last ? live : kRecords) - 1)
                       .arg(before)
                       .arg(kLineRateTenths)
                       .arg(levels));
    }
    return folder;
}

qint64 folderBytes(const QString &folder) {
    qint64 bytes = 0;
    for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files))
        bytes += file.size();
    return bytes;
}

/// A day: 743,040 readings, 7 kept backups and a live log of 43,040.
QString dayFolder() {
    return lineRateHistory(QDir::temp().filePath(QStringLiteral("envmeter-bench-day")), 8, 43040);
}

void BM_DayHourByHourFirstRead(benchmark::State &state) {
    const QString folder = dayFolder();
    const QTemporaryDir cache;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(cache.path()).removeRecursively();
        state.ResumeTiming();
        benchmark::DoNotOptimize(stats::historyFigures({folder}, {}, 3600, cache.path()));
    }
}
BENCHMARK(BM_DayHourByHourFirstRead)->Unit(benchmark::kMillisecond)->Iterations(3);

/// What the program that logs does with each backup it makes, beside the readings: the entries
/// of the 100,000 records it logged (gathered as it logged them) kept in the cache, the backup
/// counted. And what it costs to read a backup nobody logged into the cache.
void BM_BackupKeptInCache(benchmark::State &state) {
    const QString backup = QDir(dayFolder()).filePath(QStringLiteral("maxdb1-0000.mdb"));
    const QTemporaryDir cache;
    logbook::DatabaseError error;
    const stats::CompactLog logged = stats::compactLog(*logbook::readLogRecords(backup, error));
    for (auto _ : state) {
        state.PauseTiming();
        QDir(cache.path()).removeRecursively();
        std::optional<stats::CompactLog> entries = logged;
        state.ResumeTiming();
        stats::keepInCache(backup, cache.path(),
                           state.range(0) ? std::move(entries) : std::nullopt);
    }
    state.SetLabel(state.range(0) ? "logged" : "read");
}
BENCHMARK(BM_BackupKeptInCache)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_DayHourByHourOnceRead(benchmark::State &state) {
    const QString folder = dayFolder();
    const QTemporaryDir cache;
    stats::historyFigures({folder}, {}, 3600, cache.path());
    qint64 readings = 0;
    for (auto _ : state)
        readings =
            stats::historyFigures({folder}, {}, 3600, cache.path()).span.groups.at(0).readings;
    state.counters["readings"] = double(readings);
}
BENCHMARK(BM_DayHourByHourOnceRead)->Unit(benchmark::kMillisecond);

/// A history day by day from `cache`, once read into it: its readings and days, the memory
/// taken, the cache's size against the logs'.
void dayByDay(benchmark::State &state, const QString &folder, const QString &cache) {
    stats::historyFigures({folder}, {}, 86400, cache);
    qint64 readings = 0;
    std::size_t days = 0;
    for (auto _ : state) {
        const stats::HistoryFigures figures = stats::historyFigures({folder}, {}, 86400, cache);
        readings = figures.span.groups.at(0).readings;
        days = figures.intervals.size();
    }
    state.counters["readings"] = double(readings);
    state.counters["days"] = double(days);
    state.counters["peak_MB"] = peakResidentMegabytes();
    state.counters["cache_percent"] =
        100.0 * double(folderBytes(cache)) / double(folderBytes(folder));
}

void BM_MonthDayByDayOnceRead(benchmark::State &state) {
    const QTemporaryDir cache;
    dayByDay(
        state,
        lineRateHistory(QDir::temp().filePath(QStringLiteral("envmeter-bench-month")), 222, 28800),
        cache.path());
}
BENCHMARK(BM_MonthDayByDayOnceRead)->Unit(benchmark::kMillisecond)->Iterations(3);

QString monthFolder() {
    return lineRateHistory(QDir::temp().filePath(QStringLiteral("envmeter-bench-month")), 222,
                           28800);
}

/// A year at the line rate: 270 million readings in 2,700 logs (12.7 GB), made once in the
/// temporary folder (some minutes) and kept there, with what the statistics keep of it, for the
/// next run.
QString yearFolder() {
    return lineRateHistory(QDir::temp().filePath(QStringLiteral("envmeter-bench-year")), 2700,
                           28800, kRoomLevels);
}

QString yearCache() { return QDir::temp().filePath(QStringLiteral("envmeter-bench-year-cache")); }

void BM_YearDayByDayOnceSummarised(benchmark::State &state) {
    const QString folder = yearFolder();
    dayByDay(state, folder, yearCache());
    // What a retired backup leaves in the data folder, over a hundred of them.
    qint64 summaries = 0;
    qint64 logs = 0;
    for (int n = 0; n < 100; ++n) {
        const QString backup =
            QDir(folder).filePath(QStringLiteral("maxdb1-%1.mdb").arg(n, 4, 10, QLatin1Char('0')));
        logbook::DatabaseError error;
        summaries += stats::packedSummary(*stats::summaryOf(backup, yearCache(), error)).size();
        logs += QFileInfo(backup).size();
    }
    state.counters["summary_percent"] = 100.0 * double(summaries) / double(logs);
}
BENCHMARK(BM_YearDayByDayOnceSummarised)->Unit(benchmark::kMillisecond)->Iterations(3);

/// The year's first month hour by hour.
void BM_MonthHourByHourOnceSummarised(benchmark::State &state) {
    const QString folder = yearFolder();
    stats::SpanQuery month;
    const core::ZoneClock zone;
    month.from = zone.instantOf(*core::clockSecondsOfBound(u"2026-11-01", false));
    month.to = zone.instantOf(*core::clockSecondsOfBound(u"2026-11-30", true));
    stats::historyFigures({folder}, month, 3600, yearCache());
    std::size_t hours = 0;
    for (auto _ : state)
        hours = stats::historyFigures({folder}, month, 3600, yearCache()).intervals.size();
    state.counters["hours"] = double(hours);
}
BENCHMARK(BM_MonthHourByHourOnceSummarised)->Unit(benchmark::kMillisecond)->Iterations(3);

/// A month day by day charted to PNG, as `--chart` does, once its logs were read.
void BM_MonthChartedToPng(benchmark::State &state) {
    const QString folder = monthFolder();
    const QTemporaryDir cache;
    const QTemporaryDir out;
    stats::historyFigures({folder}, {}, 86400, cache.path());
    for (auto _ : state) {
        const stats::HistoryFigures figures =
            stats::historyFigures({folder}, {}, 86400, cache.path());
        views::saveIntervalChart(out.filePath(QStringLiteral("month.png")), QSize(1200, 220),
                                 figures.intervals, {figures.events, {}});
    }
}
BENCHMARK(BM_MonthChartedToPng)->Unit(benchmark::kMillisecond)->Iterations(3);

/// A week of the month hour by hour, its report written to PDF, as `--report` does.
void BM_WeekReportHourByHour(benchmark::State &state) {
    const QString folder = monthFolder();
    const QTemporaryDir cache;
    const QTemporaryDir out;
    stats::SpanQuery week = withLimits();
    const core::ZoneClock zone;
    week.from = zone.instantOf(*core::clockSecondsOfBound(u"2026-11-02", false));
    week.to = zone.instantOf(*core::clockSecondsOfBound(u"2026-11-08", true));
    stats::historyFigures({folder}, week, 3600, cache.path());
    for (auto _ : state) {
        const stats::HistoryFigures figures =
            stats::historyFigures({folder}, week, 3600, cache.path());
        views::QtPrinter printer(
            views::QtPrinter::PdfFile{out.filePath(QStringLiteral("week.pdf"))});
        report::printStatistics(printer, QStringLiteral("A week"), figures.span, figures.intervals,
                                figures.events);
        printer.finish();
    }
}
BENCHMARK(BM_WeekReportHourByHour)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv) {
    // The chart and the report are drawn with fonts, on no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
