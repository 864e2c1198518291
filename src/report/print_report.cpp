#include "report/print_report.h"

#include "core/message_boxes.h"
#include "log/data_source.h"
#include "log/log_database.h"
#include "log/reading_log.h"
#include "log/record_window.h"
#include "report/printer.h"
#include "report/report_layout.h"
#include "window/port_control.h"
#include "window/window_model.h"

#include <QDir>

#include <span>

namespace report {

namespace {

using window::ControlId;

/// The over-range text "O.L" as the report keeps it.
const QString kOverRange = QStringLiteral("4000");

} // namespace

PrintReportCommand::PrintReportCommand(logbook::ReadingLog &log, window::WindowModel &model,
                                       logbook::DataSource &gridSource,
                                       core::MessageBoxes &messages)
    : m_log(log), m_model(model), m_gridSource(gridSource), m_messages(messages) {}

void PrintReportCommand::print(Printer &printer) {
    m_log.writeQueued();
    window::WindowFields &f = m_model.fields;
    f.logRecordCount = m_gridSource.recordCount();
    // A log that cannot be read is said as such, not taken for an empty one.
    if (const logbook::DatabaseError &failure = m_gridSource.error();
        failure && window::lineIsOff(m_model)) {
        tellUnreadable(failure);
        return;
    }
    if (!window::lineIsOff(m_model) || f.logRecordCount == 0) {
        m_messages.showMessage(QStringLiteral("Please offline!"));
        return;
    }
    int count = 0;
    if (!readSlice(count))
        return;
    if (ask(QStringLiteral("List?"))) {
        printList(printer, count);
    } else if (ask(QStringLiteral("Grath?"))) {
        const GraphTexts texts{m_model.text(window::ControlId::vertMax),
                               m_model.text(window::ControlId::vertMin),
                               f.valueLabels,
                               f.timeLabels,
                               m_model.text(window::ControlId::functionName),
                               m_model.text(window::ControlId::unit)};
        printGraphPage(printer, std::span(f.historyArrays.data(), std::size_t(count)), texts);
    }
    if (const QString told = printer.finish(); !told.isEmpty())
        m_messages.showMessage(told);
}

bool PrintReportCommand::readSlice(int &count) {
    window::WindowFields &f = m_model.fields;
    const qint32 n = m_gridSource.currentNo();
    const logbook::LogSlice slice = logbook::readSliceBackward(
        m_log.filePath(logbook::kLiveLogFile),
        n < 1 ? std::nullopt : std::optional(qint64(f.logRecordCount) - n - 1), f.historyArrays,
        kOverRange);
    if (slice.error) {
        tellUnreadable(slice.error);
        return false;
    }
    // The report's caption shows the log's first function and unit, as the window does after.
    m_model.setText(window::ControlId::functionName, slice.firstFunction);
    m_model.setText(window::ControlId::unit, slice.firstUnit);
    count = slice.count;
    return true;
}

void PrintReportCommand::tellUnreadable(const logbook::DatabaseError &failure) {
    m_messages.showMessage(
        QStringLiteral("Nothing was printed: the log file %1 could not be read (%2).")
            .arg(QDir::toNativeSeparators(failure.file), failure.reason));
}

void PrintReportCommand::printList(Printer &printer, int count) {
    const std::span records(m_model.fields.historyArrays.data(), std::size_t(count));
    int next = 0;
    do
        next = printListPage(printer, records, next);
    while (!printer.failed() && ask(QStringLiteral("Continue?")) && next < count);
}

bool PrintReportCommand::ask(const QString &question) {
    return m_messages.askYesNo(question, QStringLiteral("Information"));
}

} // namespace report
