#pragma once

#include "log/file_copy.h"

#include <QElapsedTimer>
#include <QPointer>

class QProgressDialog;
class QWidget;

namespace views {

/// The progress of a long copy, or of a wait for the log's writer, on the screen: a modal progress
/// window once the copy has taken half a second, and the program's windows kept painting (and its
/// clock ticking) meanwhile. The user's input waits until the copy is over, so no handler runs
/// inside it.
class QtCopyProgress final : public logbook::CopyProgress {
  public:
    explicit QtCopyProgress(QWidget *window) : m_window(window) {}
    ~QtCopyProgress() override;

    void copying(const QString &to, qint64 copied, qint64 total) override;
    void writing(const QString &to, qint64 written, qint64 total) override;
    void copyEnded() override;

  private:
    void progressed(const QString &label, qint64 done, qint64 total);

    QWidget *m_window;
    QElapsedTimer m_since;
    QElapsedTimer m_sinceEvents;
    QPointer<QProgressDialog> m_dialog;
};

} // namespace views
