#include "window/start_up.h"

#include "chart/surface.h"
#include "core/colour_table.h"
#include "core/message_boxes.h"
#include "log/data_source.h"
#include "log/log_database.h"
#include "log/reading_log.h"
#include "log/record_grid_model.h"
#include "session/logging_session.h"
#include "window/chart_handlers.h"
#include "window/log_count.h"
#include "window/window_model.h"

#include <QDir>

namespace window {

namespace {

constexpr int kBlackItem = 2;
constexpr int kWhiteItem = 15;

const std::array<QString, 9> kStartValueLabels{
    QStringLiteral("400.0"),  QStringLiteral("300.0"),  QStringLiteral("200.0"),
    QStringLiteral("100.0"),  QStringLiteral("0"),      QStringLiteral("-100.0"),
    QStringLiteral("-200.0"), QStringLiteral("-300.0"), QStringLiteral("-400.0")};

const GridLook kGridLook{
    QStringLiteral("Arial"), 12, true, true, QStringLiteral("Arial"), 10, core::Rgb{0, 0, 128},
    core::Rgb{255, 255, 255}};

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

} // namespace

StartUp::StartUp(WindowModel &model, logbook::DataSource &gridSource,
                 logbook::RecordGridModel &grid, logbook::ReadingLog &log,
                 session::LoggingSession &session, chart::Surface &plot, ChartHandlers &chart,
                 core::MessageBoxes &messages)
    : m_model(model), m_gridSource(gridSource), m_grid(grid), m_log(log), m_session(session),
      m_plot(plot), m_chart(chart), m_messages(messages) {}

void StartUp::load() {
    m_model.setPanelText(1, QStringLiteral("Buzzer"));
    m_model.setPanelText(2, QStringLiteral("Off"));
    m_model.setPanelText(3, QStringLiteral("Min"));
    m_model.setPanelText(5, QStringLiteral("Max"));
    m_model.setPanelText(7, QStringLiteral("Number"));
    fillColourChoosers();
    m_model.setValue(ControlId::backgroundColour, kBlackItem);
    m_plot.setBackColour(core::kColourTable[kBlackItem - 1].rgb);
    m_model.setValue(ControlId::lineColour, kWhiteItem);
    m_plot.setForeColour(core::kColourTable[kWhiteItem - 1].rgb);
    WindowFields &fields = m_model.fields;
    fields.valueLabels = kStartValueLabels;
    for (int i = 0; i < int(fields.timeLabels.size()); ++i)
        fields.timeLabels[i] = QString::number(20 * i);
    m_chart.startTrendAfresh();
    // Ticked as the user would tick them: their click handlers draw the grid.
    m_model.setValue(ControlId::xGrid, 1);
    m_chart.onXGridToggled();
    m_model.setValue(ControlId::yGrid, 1);
    m_chart.onYGridToggled();
    m_model.setClockTimer({false, 500});
    fields.historyShown = false;
    fields.historyRequest = false;
    for (const QString &message : m_log.prepareFiles())
        report(message);
    m_gridSource.setDatabaseName(m_log.filePath(logbook::kLiveLogFile));
    m_gridSource.setRecordSource(logbook::kRecordSource);
    fields.startupTicks = 0;
    m_session.resetScale();
    fields.lastLevelPct = 0;
}

void StartUp::fillColourChoosers() {
    QList<ComboItem> items;
    for (int i = 1; i <= int(core::kColourTable.size()); ++i)
        items.append({QStringLiteral("Signal%1").arg(i), core::kColourTable[i - 1].name, i});
    m_model.setItems(ControlId::backgroundColour, items);
    m_model.setItems(ControlId::lineColour, items);
}

void StartUp::activate() {
    m_model.setGridLook(kGridLook);
    // Counted with every reading taken so far on disk, and none written while it is read.
    const logbook::ReadingLog::Settled settled = m_log.settle();
    if (m_gridSource.refresh()) {
        m_lastRefreshFailure = {};
    } else if (const logbook::DatabaseError error = m_gridSource.error();
               error.file != m_lastRefreshFailure.file ||
               error.reason != m_lastRefreshFailure.reason) {
        // Said once: every return from a modal window activates the window again.
        m_lastRefreshFailure = error;
        report(QStringLiteral("The log file %1 cannot be read as a log (%2). It is left as it "
                              "is; load a saved log or replace the file to log readings.")
                   .arg(native(error.file), error.reason));
    }
    logbook::setLogGridColumns(m_grid);
    WindowFields &fields = m_model.fields;
    const qint32 records = m_gridSource.recordCount();
    setLogRecordCount(m_model, records);
    // Readings taken while the window waited for the writer follow the records on disk.
    m_session.restartNumberingAt(records + m_log.waitingCount());
    fields.historyPosition = 0;
    m_model.setPanelText(8, QStringLiteral("0"));
    m_model.setVisible(ControlId::highAlarmLamp, false);
    m_model.setVisible(ControlId::lowAlarmLamp, false);
    fields.startupTicks = 1;
    m_model.setClockTimer({true, 1});
}

void StartUp::report(const QString &message) { m_messages.showMessage(message); }

} // namespace window
