// The statistics of a full log: 100,000 records of the four functions, a reading a second with
// a gap now and then, read from the file and computed, and computed alone.
#include "log/connection.h"
#include "log/log_database.h"
#include "statistics/figures.h"

#include <QCoreApplication>
#include <QDir>
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

void BM_StatisticsOfTheLog(benchmark::State &state) {
    QTemporaryDir dir;
    const QString log = variedLog(dir);
    logbook::DatabaseError error;
    for (auto _ : state) {
        const auto records = stats::readLogRecords(log, error);
        benchmark::DoNotOptimize(stats::spanFigures(*records, {{}, {}, {85.0, {}}, {40.0, {}}}));
    }
}
BENCHMARK(BM_StatisticsOfTheLog)->Unit(benchmark::kMillisecond);

void BM_StatisticsComputedAlone(benchmark::State &state) {
    QTemporaryDir dir;
    logbook::DatabaseError error;
    const auto records = stats::readLogRecords(variedLog(dir), error);
    for (auto _ : state)
        benchmark::DoNotOptimize(stats::spanFigures(*records, {{}, {}, {85.0, {}}, {40.0, {}}}));
    state.counters["records"] = double(records->size());
}
BENCHMARK(BM_StatisticsComputedAlone)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
