#include "window/save_load_model.h"

#include "core/message_boxes.h"
#include "core/number_text.h"
#include "log/file_copy.h"
#include "log/log_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace window {

// The log's files and copies, by their own names.
using namespace logbook;

namespace {

const QString kExtension = QStringLiteral(".710");

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

bool isUnder(const QString &path, const QString &root) {
    return path == root || path.startsWith(root.endsWith(u'/') ? root : root + u'/');
}

} // namespace

QList<Drive> userDrives() {
    QList<Drive> drives{{QStringLiteral("/"), QStringLiteral("/")}};
    const QString home = QDir::homePath();
    if (home != u"/")
        drives.append({home + QStringLiteral("  (home)"), home});
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        const bool removableOrDisk = isUnder(root, QStringLiteral("/media")) ||
                                     isUnder(root, QStringLiteral("/mnt")) ||
                                     isUnder(root, QStringLiteral("/run/media"));
        if (!volume.isValid() || !removableOrDisk || root == u"/media" || root == u"/mnt")
            continue;
        const QString name =
            volume.name().isEmpty() ? QString() : QStringLiteral("  (%1)").arg(volume.name());
        drives.append({root + name, root});
    }
    return drives;
}

SaveLoadModel::SaveLoadModel(QString programDirectory, QList<Drive> drives,
                             core::MessageBoxes &messages, CopyProgress *progress)
    : m_directory(std::move(programDirectory)), m_drives(std::move(drives)), m_messages(messages),
      m_progress(progress) {
    // The directory list opens at the program's directory, on the drive that holds it.
    int longest = -1;
    for (int i = 0; i < m_drives.size(); ++i) {
        if (isUnder(m_directory, m_drives[i].path) && m_drives[i].path.size() > longest) {
            longest = int(m_drives[i].path.size());
            m_driveIndex = i;
        }
    }
    readDirectory(m_directory);
}

void SaveLoadModel::open() {
    m_selectedFileName.clear();
    emit changed();
}

void SaveLoadModel::chooseSave() {
    m_mode = Mode::Save;
    emit changed();
}

void SaveLoadModel::chooseLoad() {
    m_mode = Mode::Load;
    readFiles();
    emit changed();
}

void SaveLoadModel::chooseDrive(int index) {
    if (index < 0 || index >= m_drives.size())
        return;
    const int before = m_driveIndex;
    m_driveIndex = index;
    if (!readDirectory(m_drives[index].path)) {
        m_driveIndex = before; // not ready: the list keeps the drive it had
        emit changed();
        return;
    }
    chooseFolder(m_dirPath);
}

void SaveLoadModel::chooseFolder(const QString &path) {
    if (path != m_dirPath && !readDirectory(path)) {
        emit changed();
        return;
    }
    if (m_mode == Mode::Load)
        readFiles();
    emit changed();
}

void SaveLoadModel::chooseFile(const QString &name) {
    m_selectedFileName = name;
    emit changed();
}

void SaveLoadModel::setNameText(const QString &text) {
    if (text == m_nameText)
        return;
    m_nameText = text;
    emit changed();
}

void SaveLoadModel::cancel() { close(); }

void SaveLoadModel::accept() {
    if (m_mode == Mode::Save)
        save();
    else
        load();
}

void SaveLoadModel::save() {
    m_selectedFileName = core::trimBlanks(m_nameText);
    if (m_selectedFileName.isEmpty()) {
        emit focusRequested(Control::nameBox);
        return;
    }
    m_selectedPath = joined(m_selectedFileName);
    const QString target = m_selectedPath + kExtension;
    if (QFileInfo::exists(target)) {
        tell(QStringLiteral("Please rename filename!"));
        emit focusRequested(Control::nameBox);
        return;
    }
    const QString live = programFile(kLiveLogFile);
    if (const QString why = copyLogFile(live, target, CopyTarget::NewFileOnly, m_progress);
        !why.isEmpty()) {
        tell(QStringLiteral("The log could not be saved as %1: %2.").arg(native(target), why));
        emit focusRequested(Control::nameBox);
        return;
    }
    close();
}

void SaveLoadModel::load() {
    if (m_selectedFileName.isEmpty() || !m_selectedFileName.endsWith(kExtension)) {
        // Nothing to load yet: the file list is where to choose one.
        emit focusRequested(Control::fileList);
        return;
    }
    m_selectedPath = joined(m_selectedFileName);
    if (!QFileInfo::exists(m_selectedPath)) {
        tell(QStringLiteral("file Not Exit!"));
        // The lists are read again, so that they show what is there now.
        readDirectory(m_dirPath);
        readFiles();
        emit changed();
        return;
    }
    const QString live = programFile(kLiveLogFile);
    const QString rescue = programFile(kRescueLogFile);
    if (const QString why = copyLogFile(live, rescue, CopyTarget::Replace, m_progress);
        !why.isEmpty()) {
        tell(QStringLiteral("Nothing was loaded: the log %1 could not be kept as %2: %3.")
                 .arg(native(live), native(rescue), why));
        return;
    }
    QFile liveFile(live);
    if (liveFile.exists() && !liveFile.remove()) {
        tell(QStringLiteral("Nothing was loaded: the log %1 could not be replaced: %2.")
                 .arg(native(live), liveFile.errorString()));
        return;
    }
    // From here the live log exists only as the rescue copy until the chosen file is in.
    if (const QString why = copyLogFile(m_selectedPath, live, CopyTarget::Replace, m_progress);
        !why.isEmpty()) {
        const QString back = copyFileOver(rescue, live, m_progress);
        tell(back.isEmpty()
                 ? QStringLiteral("%1 could not be loaded: %2. The log as it was has been put "
                                  "back.")
                       .arg(native(m_selectedPath), why)
                 : QStringLiteral("%1 could not be loaded: %2. The log as it was could not be "
                                  "put back as %3 (%4); it is kept in %5.")
                       .arg(native(m_selectedPath), why, native(live), back, native(rescue)));
        return;
    }
    m_replacedLiveLog = true;
    close();
}

QString SaveLoadModel::programFile(QLatin1String name) const {
    return QDir(m_directory).filePath(name);
}

QString SaveLoadModel::joined(const QString &name) const {
    return m_dirPath.endsWith(u'/') ? m_dirPath + name : m_dirPath + u'/' + name;
}

bool SaveLoadModel::readDirectory(const QString &path) {
    const QDir dir(path);
    if (!dir.exists() || !dir.isReadable()) {
        tell(QStringLiteral("The folder %1 cannot be opened: %2.")
                 .arg(native(path), dir.exists() ? QStringLiteral("it may not be read")
                                                 : QStringLiteral("it is not there")));
        return false;
    }
    m_dirPath = dir.absolutePath();
    m_dirEntries.clear();
    // The way down from the root, then what lies in the current directory.
    QStringList parts = m_dirPath.split(u'/', Qt::SkipEmptyParts);
    QString walked = QStringLiteral("/");
    m_dirEntries.append({walked, walked, 0, true});
    for (int i = 0; i < parts.size(); ++i) {
        walked = walked.endsWith(u'/') ? walked + parts[i] : walked + u'/' + parts[i];
        m_dirEntries.append({parts[i], walked, i + 1, true});
    }
    const int depth = int(parts.size()) + 1;
    for (const QFileInfo &sub :
         dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        // The listing passes links to devices (/dev/serial/by-id) as folders: no folder opens.
        if (sub.isDir())
            m_dirEntries.append({sub.fileName(), sub.absoluteFilePath(), depth, false});
    return true;
}

void SaveLoadModel::readFiles() {
    m_files = QDir(m_dirPath).entryList({QStringLiteral("*.710")}, QDir::Files,
                                        QDir::Name | QDir::IgnoreCase);
}

void SaveLoadModel::close() {
    m_closed = true;
    emit closed();
}

void SaveLoadModel::tell(const QString &text) { m_messages.showMessage(text); }

} // namespace window
