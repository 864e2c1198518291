#include "window/history_slider.h"

#include "core/message_boxes.h"
#include "core/number_text.h"
#include "core/rounding.h"
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
                             logbook::DataSource &data1, ChartHandlers &chart,
                             core::MessageBoxes &messages)
    : m_log(log), m_model(model), m_data1(data1), m_chart(chart), m_messages(messages) {}

void HistorySlider::ThumbMovement() {
    if (!lineIsOff(m_model))
        return;
    m_log.writeQueued();
    const int records = m_data1.recordCount();
    if (records < kFewestRecords)
        return;
    WindowFields &f = m_model.fields;
    f.LogRecordCount = records;
    m_model.setMaximum(ControlId::Slider1, f.LogRecordCount - 1);
    m_model.setPanelText(8, QString::number(m_model.control(ControlId::Slider1).value));
    m_data1.moveFirst();
    const qint32 p = core::roundHalfEvenToInt(core::leadingNumber(m_model.panelText(8)));
    if (p > 0) {
        m_data1.moveNext(f.LogRecordCount - p - 1);
        f.HistoryRequest = true;
    }
}

void HistorySlider::Release() {
    m_log.writeQueued();
    if (const logbook::DatabaseError failure =
            m_chart.ShowHistoryWindow(m_log.filePath(logbook::kLiveLogFile)))
        m_messages.showMessage(
            QStringLiteral("The history cannot be shown: the log file %1 could not be read (%2).")
                .arg(QDir::toNativeSeparators(failure.file), failure.reason));
}

} // namespace window
