#pragma once

#include <QString>

#include <functional>

namespace core {
class MessageBoxes;
}

namespace logbook {
class CopyProgress;
class DataSource;
class ReadingLog;
class RecordGridModel;
} // namespace logbook

namespace window {

class SaveLoadModel;

/// The "Data Save/Load" command: with the line closed, the grid is bound to db2.mdb while the
/// save/load dialog is open, so that db1.mdb can be copied and replaced, and to db1.mdb again
/// afterwards; a loaded file that is not a log is undone from the rescue copy.
class SaveLoadCommand {
  public:
    /// `progress`, where given, is told how long copies go.
    SaveLoadCommand(QString programDirectory, logbook::ReadingLog &log,
                    logbook::DataSource &gridSource, logbook::RecordGridModel &grid,
                    core::MessageBoxes &messages, logbook::CopyProgress *progress = nullptr);

    /// `lineOff` says whether the serial line is off; `showDialog` shows the dialog modally and
    /// returns once it has closed. Returns whether the dialog was shown.
    bool saveOrLoadLog(bool lineOff, const std::function<void(SaveLoadModel &)> &showDialog);

  private:
    QString file(QLatin1String name) const;
    void bindGridTo(QLatin1String name);
    void recover(bool loaded);

    QString m_directory;
    logbook::ReadingLog &m_log;
    logbook::DataSource &m_gridSource;
    logbook::RecordGridModel &m_grid;
    core::MessageBoxes &m_messages;
    logbook::CopyProgress *m_progress;
};

} // namespace window
