#include "window/history_slider.h"

#include "core/message_boxes.h"
#include "log/data_source.h"
#include "log/log_database.h"
#include "log/reading_log.h"
#include "window/chart_handlers.h"
#include "window/port_control.h"
#include "window/window_model.h"

#include <QDir>

namespace window {

namespace {

/// Fewer records than this give no history to walk through.
constexpr int kFewestRecords = 14;

} // namespace

HistorySlider::HistorySlider(logbook::ReadingLog &log, WindowModel &model,
                             logbook::DataSource &gridSource, ChartHandlers &chart,
                             core::MessageBoxes &messages)
    : m_log(log), m_model(model), m_gridSource(gridSource), m_chart(chart), m_messages(messages) {}

void HistorySlider::onThumbMoved() {
    if (!lineIsOff(m_model))
        return;
    m_log.writeQueued();
    const int records = m_gridSource.recordCount();
    if (records < kFewestRecords)
        return;
    WindowFields &f = m_model.fields;
    f.logRecordCount = records;
    m_model.setMaximum(ControlId::historySlider, f.logRecordCount - 1);
    f.historyPosition = m_model.control(ControlId::historySlider).value;
    m_model.setPanelText(8, QString::number(f.historyPosition));
    m_gridSource.moveFirst();
    if (f.historyPosition > 0) {
        m_gridSource.moveNext(f.logRecordCount - f.historyPosition - 1);
        f.historyRequest = true;
    }
}

void HistorySlider::onReleased() {
    m_log.writeQueued();
    if (const logbook::DatabaseError failure =
            m_chart.showHistoryWindow(m_log.filePath(logbook::kLiveLogFile)))
        m_messages.showMessage(
            QStringLiteral("The history cannot be shown: the log file %1 could not be read (%2).")
                .arg(QDir::toNativeSeparators(failure.file), failure.reason));
}

} // namespace window
