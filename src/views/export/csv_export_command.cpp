#include "views/export/csv_export_command.h"

#include "core/message_boxes.h"
#include "log/log_database.h"
#include "log/reading_log.h"

#include <QDir>
#include <QFileDialog>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace views {

namespace {

constexpr int kShowProgressAfterMs = 500;
constexpr int kProgressRefreshMs = 50;

} // namespace

CsvExportCommand::CsvExportCommand(logbook::ReadingLog &log, QWidget *window,
                                   core::MessageBoxes &messages)
    : m_log(log), m_window(window), m_messages(messages) {}

CsvExportCommand::~CsvExportCommand() {
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
    }
}

void CsvExportCommand::exportCsv() {
    if (isRunning())
        return;
    // The documents folder, or the home folder on a machine that has none.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists())
        folder = QDir::homePath();
    const QString path = QFileDialog::getSaveFileName(
        m_window, QStringLiteral("Export CSV"), QDir(folder).filePath(QStringLiteral("db1.csv")),
        QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty())
        exportTo(path);
}

void CsvExportCommand::exportTo(const QString &csvPath) {
    if (isRunning())
        return;
    // The snapshot holds every reading taken until now.
    m_log.writeQueued();
    m_csvPath = csvPath;
    m_done = 0;
    m_total = 0;
    m_cancel = false;
    m_thread = QThread::create([this] {
        m_result = logbook::exportCsv(m_log.filePath(logbook::kLiveLogFile), m_csvPath,
                                      [this](qint64 done, qint64 total) {
                                          m_done = done;
                                          m_total = total;
                                          return !m_cancel;
                                      });
    });
    connect(m_thread, &QThread::finished, this, &CsvExportCommand::done);
    m_progress = new QProgressDialog(
        QStringLiteral("Exporting the log to %1").arg(QDir::toNativeSeparators(csvPath)),
        QStringLiteral("Cancel"), 0, 100, m_window);
    m_progress->setWindowTitle(QStringLiteral("5710"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setMinimumDuration(kShowProgressAfterMs);
    m_progress->setAutoReset(false);
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, this, [this] { m_cancel = true; });
    m_poll = new QTimer(this);
    connect(m_poll, &QTimer::timeout, this, &CsvExportCommand::showProgress);
    m_poll->start(kProgressRefreshMs);
    m_thread->start();
}

void CsvExportCommand::showProgress() {
    const qint64 total = m_total;
    // Asked now and then, the dialog shows itself once half a second has gone by.
    m_progress->setValue(total > 0 ? int(100 * m_done / total) : 0);
}

void CsvExportCommand::done() {
    // Stopped first: a tick already due would otherwise still come, with no dialog to show.
    m_poll->stop();
    m_poll->deleteLater();
    m_poll = nullptr;
    m_progress->deleteLater();
    m_progress = nullptr;
    m_thread->deleteLater();
    m_thread = nullptr;
    const logbook::CsvExportResult result = m_result;
    if (result.kind == logbook::CsvExportResult::Kind::Failed)
        m_messages.showMessage(QStringLiteral("The log could not be exported to %1: %2.")
                                   .arg(QDir::toNativeSeparators(m_csvPath), result.reason));
    emit finished(result);
}

} // namespace views
