#include "views/adapters/qt_copy_progress.h"

#include <QCoreApplication>
#include <QDir>
#include <QProgressDialog>

namespace views {

namespace {

constexpr int kShowAfterMs = 500;
/// Often enough for smooth painting, seldom enough to cost the copy nothing.
constexpr int kEventsEveryMs = 20;

} // namespace

QtCopyProgress::~QtCopyProgress() { delete m_dialog; }

void QtCopyProgress::copying(const QString &to, qint64 copied, qint64 total) {
    progressed(QStringLiteral("Copying to %1").arg(QDir::toNativeSeparators(to)), copied, total);
}

void QtCopyProgress::writing(const QString &to, qint64 written, qint64 total) {
    progressed(QStringLiteral("Writing the readings taken to %1").arg(QDir::toNativeSeparators(to)),
               written, total);
}

void QtCopyProgress::progressed(const QString &label, qint64 done, qint64 total) {
    if (!m_since.isValid()) {
        m_since.start();
        m_sinceEvents.start();
    }
    if (!m_dialog && m_since.elapsed() >= kShowAfterMs) {
        m_dialog = new QProgressDialog(label, QString(), 0, 100, m_window);
        m_dialog->setWindowTitle(QStringLiteral("5710"));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setCancelButton(nullptr);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    }
    if (m_dialog)
        m_dialog->setValue(total > 0 ? int(100 * done / total) : 0);
    if (m_sinceEvents.elapsed() >= kEventsEveryMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_sinceEvents.restart();
    }
}

void QtCopyProgress::copyEnded() {
    delete m_dialog;
    m_since.invalidate();
}

} // namespace views
