#include "window/save_or_load_log.h"

#include "core/message_boxes.h"
#include "log/data_source.h"
#include "log/file_copy.h"
#include "log/log_database.h"
#include "log/reading_log.h"
#include "log/record_grid_model.h"
#include "window/save_load_model.h"

#include <QDir>
#include <QFileInfo>

namespace window {

// The log's files and copies, by their own names.
using namespace logbook;

namespace {

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

} // namespace

SaveLoadCommand::SaveLoadCommand(QString programDirectory, ReadingLog &log, DataSource &gridSource,
                                 RecordGridModel &grid, core::MessageBoxes &messages,
                                 CopyProgress *progress)
    : m_directory(std::move(programDirectory)), m_log(log), m_gridSource(gridSource), m_grid(grid),
      m_messages(messages), m_progress(progress) {}

bool SaveLoadCommand::saveOrLoadLog(bool lineOff,
                                    const std::function<void(SaveLoadModel &)> &showDialog) {
    if (!lineOff) {
        m_messages.showMessage(QStringLiteral("Please offline!"));
        return false;
    }
    // Another program's readings go into db1.mdb: it is neither replaced nor copied under it.
    if (const QString refusal = m_log.lock().refusal(); !refusal.isEmpty()) {
        m_messages.showMessage(refusal);
        return false;
    }
    // The live log is copied and replaced with every reading on disk, and nothing written to
    // it until the dialog has closed.
    const ReadingLog::Settled settled = m_log.settle();
    // The stand-by twin is only there to hold the grid while db1.mdb is copied: one that went
    // missing is made again from the live log, which is only read for it.
    const QString standby = file(kStandbyLogFile);
    if (!QFileInfo::exists(standby)) {
        if (const QString why =
                copyLogFile(file(kLiveLogFile), standby, CopyTarget::NewFileOnly, m_progress);
            !why.isEmpty())
            m_messages.showMessage(
                QStringLiteral("%1 was missing and could not be made again: %2. The grid stays "
                               "empty while the dialog is open.")
                    .arg(native(standby), why));
    }
    // A stand-by file that is no log leaves the grid empty meanwhile; db1.mdb is free all the
    // same, which is what this binding is for.
    bindGridTo(kStandbyLogFile);
    SaveLoadModel dialog(m_directory, userDrives(), m_messages, m_progress);
    dialog.open();
    showDialog(dialog);
    bindGridTo(kLiveLogFile);
    if (m_gridSource.error())
        recover(dialog.replacedLiveLog());
    setLogGridColumns(m_grid);
    return true;
}

void SaveLoadCommand::recover(bool loaded) {
    // Only a load replaced db1.mdb; a live log that was no log before the dialog is left as it
    // is (the window says so when it is activated) rather than replaced by an older rescue copy.
    if (!loaded)
        return;
    bindGridTo(kStandbyLogFile);
    const QString rescue = file(kRescueLogFile);
    const QString live = file(kLiveLogFile);
    const QString why = copyFileOver(rescue, live, m_progress);
    bindGridTo(kLiveLogFile);
    if (!why.isEmpty())
        m_messages.showMessage(QStringLiteral("The loaded file is not a log, and the log as it was "
                                              "could not be put back from %1: %2.")
                                   .arg(native(rescue), why));
    m_messages.showMessage(
        QStringLiteral("This is not standard database,Please Use saved database"));
}

QString SaveLoadCommand::file(QLatin1String name) const { return QDir(m_directory).filePath(name); }

void SaveLoadCommand::bindGridTo(QLatin1String name) {
    m_gridSource.setDatabaseName(file(name));
    m_gridSource.refresh();
}

} // namespace window
