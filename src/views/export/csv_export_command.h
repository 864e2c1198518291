#pragma once

#include "log/csv_export.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QProgressDialog;
class QThread;
class QTimer;
class QWidget;

namespace core {
class MessageBoxes;
}
namespace logbook {
class ReadingLog;
}

namespace views {

/// "Export CSV...": asks for a file with the platform's save dialog and writes the live log
/// there on a thread of its own, so that readings go on being logged meanwhile. An export that
/// takes longer than half a second shows its progress and can be cancelled; a failure is told
/// with the file and the reason.
class CsvExportCommand : public QObject {
    Q_OBJECT
  public:
    CsvExportCommand(logbook::ReadingLog &log, QWidget *window, core::MessageBoxes &messages);
    ~CsvExportCommand() override;

    void exportCsv();
    /// The export to a chosen file, started in the background.
    void exportTo(const QString &csvPath);
    bool isRunning() const { return m_thread != nullptr; }

  signals:
    void finished(const logbook::CsvExportResult &result);

  private:
    void showProgress();
    void done();

    logbook::ReadingLog &m_log;
    QWidget *m_window;
    core::MessageBoxes &m_messages;
    QString m_csvPath;
    QThread *m_thread = nullptr;
    QProgressDialog *m_progress = nullptr;
    QTimer *m_poll = nullptr;
    logbook::CsvExportResult m_result;
    std::atomic<qint64> m_done{0};
    std::atomic<qint64> m_total{0};
    std::atomic<bool> m_cancel{false};
};

} // namespace views
