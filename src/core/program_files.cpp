#include "core/program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace core {

namespace {

const QString kHelpFile = QString::fromLatin1(kHelpFileName);
/// The empty log an installation carries, copied on a first start.
const QString kLogTemplate = QStringLiteral("db1.mdb");

/// PREFIX/share/envmeter of an executable installed as PREFIX/bin/envmeter; empty otherwise.
QString installedShareFolder(const QString &executableDirectory) {
    const QDir bin(executableDirectory);
    if (bin.dirName() != u"bin")
        return {};
    const QString share = QDir::cleanPath(bin.filePath(QStringLiteral("../share/envmeter")));
    return QFileInfo::exists(share) ? share : QString();
}

} // namespace

ProgramFiles::ProgramFiles(QString folder)
    : directory(std::move(folder)), helpFile(QDir(directory).filePath(kHelpFile)) {}

ProgramFiles::ProgramFiles(QString folder, QString help)
    : directory(std::move(folder)), helpFile(std::move(help)) {}

QString userDataFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("envmeter"));
}

ProgramFiles runningProgramFiles() {
    return locateProgramFiles(QCoreApplication::applicationDirPath(), userDataFolder());
}

ProgramFiles locateProgramFiles(const QString &executableDirectory, const QString &dataFolder) {
    const QString share = installedShareFolder(executableDirectory);
    if (share.isEmpty())
        return ProgramFiles(executableDirectory);
    const QString own = QDir(dataFolder).filePath(kHelpFile);
    return {dataFolder, QFileInfo::exists(own) ? own : QDir(share).filePath(kHelpFile)};
}

void makeDataFolderOnFirstStart(const QString &executableDirectory, const ProgramFiles &files) {
    const QString share = installedShareFolder(executableDirectory);
    if (share.isEmpty() || QFileInfo::exists(files.directory))
        return;
    QDir().mkpath(files.directory);
    // A copy that fails leaves no log: the start-up then makes one and says so.
    QFile::copy(QDir(share).filePath(kLogTemplate), QDir(files.directory).filePath(kLogTemplate));
    QFile(QDir(files.directory).filePath(kLogTemplate))
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
}

} // namespace core
