#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace core {
class MessageBoxes;
}

namespace logbook {
class CopyProgress;
}

namespace window {

/// An entry of the drive list: a place a user saves to or loads from.
struct Drive {
    QString label; ///< as the list shows it
    QString path;
    friend bool operator==(const Drive &, const Drive &) = default;
};

/// The machine's places for the drive list: the root, the user's home, and mounted removable
/// media and other disks under /media, /mnt and /run/media.
QList<Drive> userDrives();

/// The log save/load dialog as data: the state of its controls and its handlers, so that
/// it works without widgets; the view mirrors it and turns widget events into handler calls.
/// Saving copies the live log to a new "name.710"; loading keeps the live log as the rescue
/// copy sosdb1.mdb and puts the chosen file in its place.
class SaveLoadModel : public QObject {
    Q_OBJECT
  public:
    enum class Mode { Save, Load };
    enum class Control { nameBox, fileList };

    /// One line of the directory list: a directory on the way from the root to the current
    /// one (depth 0 is the root), the current one, or one of its sub-directories.
    struct DirEntry {
        QString name;
        QString path;
        int depth = 0;
        bool open = false; ///< on the way to the current directory, or the current one
        friend bool operator==(const DirEntry &, const DirEntry &) = default;
    };

    /// `progress`, where given, is told how long copies go.
    SaveLoadModel(QString programDirectory, QList<Drive> drives, core::MessageBoxes &messages,
                  logbook::CopyProgress *progress = nullptr);

    /// The dialog opens: no file chosen yet.
    void open();
    /// "Save" chosen: the name box shown, the file list hidden.
    void chooseSave();
    /// "Load" chosen: the file list of the chosen folder shown, the name box hidden.
    void chooseLoad();
    /// A drive chosen in the drive list: the folder list moves to it.
    void chooseDrive(int index);
    /// A folder chosen in the folder list: the file list follows it in load mode.
    void chooseFolder(const QString &path);
    /// A saved log chosen in the file list.
    void chooseFile(const QString &name);
    /// "OK": the save under the typed name, or the load of the chosen file.
    void accept();
    /// "Cancel": the dialog closes, nothing done.
    void cancel();
    /// The name box as the user edits it.
    void setNameText(const QString &text);

    Mode mode() const { return m_mode; }
    const QList<Drive> &drives() const { return m_drives; }
    int driveIndex() const { return m_driveIndex; }
    const QString &dirPath() const { return m_dirPath; }
    const QList<DirEntry> &dirEntries() const { return m_dirEntries; }
    /// The "*.710" files of the file list's directory, by name.
    const QStringList &files() const { return m_files; }
    const QString &nameText() const { return m_nameText; }
    /// In save mode the name box and its caption show; in load mode the file list.
    bool fileListVisible() const { return m_mode == Mode::Load; }
    const QString &selectedFileName() const { return m_selectedFileName; }
    const QString &selectedPath() const { return m_selectedPath; }
    bool isClosed() const { return m_closed; }
    /// Whether a load put another file in place of the live log.
    bool replacedLiveLog() const { return m_replacedLiveLog; }

  signals:
    void changed();
    void focusRequested(window::SaveLoadModel::Control control);
    /// The dialog is done (OK completed or Cancel): the view closes.
    void closed();

  private:
    QString programFile(QLatin1String name) const;
    QString joined(const QString &name) const;
    bool readDirectory(const QString &path);
    void readFiles();
    void save();
    void load();
    void close();
    void tell(const QString &text);

    QString m_directory;
    QList<Drive> m_drives;
    core::MessageBoxes &m_messages;
    logbook::CopyProgress *m_progress;
    Mode m_mode = Mode::Save;
    int m_driveIndex = -1;
    QString m_dirPath;
    QList<DirEntry> m_dirEntries;
    QStringList m_files;
    QString m_nameText;
    QString m_selectedFileName;
    QString m_selectedPath;
    bool m_closed = false;
    bool m_replacedLiveLog = false;
};

} // namespace window
