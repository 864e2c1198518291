// The report of 300 records to PDF (the path of a machine without a printer): the 11 list
// pages, and the graph page, each from the command to the file written.
#include "report/print_report.h"
#include "shown_program.h"
#include "views/adapters/qt_printer.h"

#include <QDir>
#include <QPrinterInfo>

namespace {

void printReport(benchmark::State &state, std::initializer_list<bool> answers) {
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        state.SkipWithError("this machine has a default printer: the report would go there");
        return;
    }
    QTemporaryDir dir;
    logbook::DataSource gridSource;
    gridSource.setDatabaseName(filledLog(dir.path(), 350));
    gridSource.setRecordSource(logbook::kRecordSource);
    gridSource.refresh();
    window::WindowModel model;
    model.setText(window::ControlId::lineState, QStringLiteral("OFFLine"));
    model.setText(window::ControlId::vertMax, QStringLiteral("400.0"));
    model.setText(window::ControlId::vertMin, QStringLiteral("-400.0"));
    core::RecordingMessageBoxes messages;
    logbook::RecordGridModel grid(gridSource);
    const core::SystemClock clock;
    logbook::LogGrid logGrid(gridSource, grid);
    logbook::ReadingLog log(dir.path(), clock, messages, &logGrid);
    report::PrintReportCommand command(log, model, gridSource, messages);
    for (auto _ : state) {
        messages.answer(answers);
        views::QtPrinter printer(dir.path(), QDateTime::currentDateTime());
        command.print(printer);
    }
    const QStringList reports = QDir(dir.path()).entryList({QStringLiteral("*.pdf")});
    if (reports.isEmpty())
        state.SkipWithError("no report written");
    state.counters["pdf_kB"] = double(QFileInfo(dir.filePath(reports.value(0))).size()) / 1024;
}

void BM_ElevenListPages(benchmark::State &state) {
    printReport(state, {true, true, true, true, true, true, true, true, true, true, true, true});
}
BENCHMARK(BM_ElevenListPages)->Unit(benchmark::kMillisecond);

void BM_GraphPage(benchmark::State &state) { printReport(state, {false, true}); }
BENCHMARK(BM_GraphPage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return runWindowBenchmarks(argc, argv); }
