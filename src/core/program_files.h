#pragma once

#include <QString>

namespace core {

/// Where the program keeps its files: the program directory (the logs, their backups, the
/// rescue copy, report PDFs) and the help document it reads.
struct ProgramFiles {
    /// The files of a program run from its own folder: everything in `directory`.
    ProgramFiles(QString directory);
    ProgramFiles(QString directory, QString helpFile);

    QString directory;
    QString helpFile;
};

/// The program's files as its install layout says. Installed under a prefix (the executable in
/// PREFIX/bin beside PREFIX/share/envmeter), they live in the user's data folder, and the help
/// document is the user's own copy there, or else the installed one in PREFIX/share/envmeter.
/// Run from anywhere else (the build tree, an unpacked portable folder), they live in the
/// executable's folder. Root and a normal user alike: writability decides nothing.
ProgramFiles locateProgramFiles(const QString &executableDirectory, const QString &dataFolder);

/// The user's data folder, the window's and the logger's alike: $XDG_DATA_HOME/envmeter
/// (~/.local/share/envmeter).
QString userDataFolder();
/// Where the files of the running program live: locateProgramFiles for its executable's folder
/// and the user's data folder.
ProgramFiles runningProgramFiles();

/// On the first start of an installed program, makes the user's data folder with the empty log
/// the installation carries, and says nothing: an empty log is no news to a new user.
void makeDataFolderOnFirstStart(const QString &executableDirectory, const ProgramFiles &files);

/// The help document's file name, in the program directory or the installed share folder.
inline constexpr char kHelpFileName[] = "5710.rtf";

} // namespace core
