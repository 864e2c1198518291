// The log's costs per receive event and per slider movement, against the size of the log, and
// the CSV export of a full log.
#include "core/clock.h"
#include "filled_log.h"
#include "log/connection.h"
#include "log/csv_export.h"
#include "log/data_source.h"
#include "log/log_database.h"
#include "log/log_grid.h"
#include "log/reading_log.h"
#include "log/record_grid_model.h"
#include "recording_message_boxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

/// A log of `records` records in a fresh directory, bound to a data source and grid.
struct LogFixture {
    explicit LogFixture(int records) {
        const QString path = filledLog(dir.path(), records);
        gridSource.setDatabaseName(path);
        gridSource.setRecordSource(logbook::kRecordSource);
        gridSource.refresh();
    }
    QTemporaryDir dir;
    logbook::DataSource gridSource;
    logbook::RecordGridModel grid{gridSource};
    core::SystemClock clock;
    core::RecordingMessageBoxes messages;
    logbook::LogGrid logGrid{gridSource, grid};
    logbook::ReadingLog log{dir.path(), clock, messages, &logGrid};
};

// One reading through the log, waited for: queued, written by the writer (opened, committed,
// synced, closed), appended to the data source, the grid's first rows, and the record count.
void BM_AppendRefreshCount(benchmark::State &state) {
    LogFixture fixture(int(state.range(0)));
    qint32 no = fixture.gridSource.recordCount();
    for (auto _ : state) {
        fixture.log.appendReading(no++, QStringLiteral("Sound"), QStringLiteral("73.4"),
                                  QStringLiteral("dB"));
        fixture.log.writeQueued();
        benchmark::DoNotOptimize(fixture.grid.data(fixture.grid.index(0, 2)));
        benchmark::DoNotOptimize(fixture.gridSource.recordCount());
    }
    state.counters["failures"] = double(fixture.messages.shown().size());
}
BENCHMARK(BM_AppendRefreshCount)->Arg(0)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);

// Activation and the record limit re-read the log with a full refresh.
void BM_FullRefresh(benchmark::State &state) {
    LogFixture fixture(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(fixture.gridSource.refresh());
}
BENCHMARK(BM_FullRefresh)->Arg(99999)->Unit(benchmark::kMillisecond);

// The slider makes a row current and the grid shows it: 32 targets in different blocks, so
// every move reads its rows from the file.
void BM_MoveCurrentRecord(benchmark::State &state) {
    LogFixture fixture(99999);
    const int target = int(state.range(0));
    int k = 0;
    for (auto _ : state) {
        const int row = std::clamp(target + (target < 50000 ? 64 : -64) * (k++ % 32), 0, 99998);
        fixture.gridSource.moveFirst();
        fixture.gridSource.moveNext(row);
        benchmark::DoNotOptimize(fixture.gridSource.currentNo());
    }
}
BENCHMARK(BM_MoveCurrentRecord)->Arg(0)->Arg(49999)->Arg(99998)->Unit(benchmark::kMicrosecond);

// The history window: a record set moved to a record and walked 300 records back.
void BM_HistoryWalk(benchmark::State &state) {
    LogFixture fixture(99999);
    const QString path = QDir(fixture.dir.path()).filePath(logbook::kLiveLogFile);
    for (auto _ : state) {
        logbook::Connection db;
        db.open(path);
        logbook::RecordSet *set = db.openRecordSet();
        set->move(state.range(0));
        qint64 sum = 0;
        for (int i = 0; i < 300 && !set->isBeforeFirst(); ++i) {
            sum += set->intValue(0) + set->textValue(2).size();
            set->movePrevious();
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_HistoryWalk)->Arg(300)->Arg(99998)->Unit(benchmark::kMillisecond);

// Snapshot, reading and writing of 100,000 records to a CSV file.
void BM_CsvExport(benchmark::State &state) {
    QTemporaryDir dir;
    const QString log = filledLog(dir.path(), 100000);
    const QString csv = dir.filePath(QStringLiteral("db1.csv"));
    for (auto _ : state)
        if (logbook::exportCsv(log, csv, {}).records != 100000)
            state.SkipWithError("not every record exported");
    state.counters["csv_MB"] = double(QFileInfo(csv).size()) / (1024 * 1024);
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
