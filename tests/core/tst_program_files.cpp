#include "core/program_files.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Where the program keeps its files, told apart by the layout it is installed in.
class TestProgramFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString made(const QString &path) {
        QDir().mkpath(QFileInfo(m_dir.filePath(path)).path());
        writeFile(m_dir.filePath(path), path.toUtf8());
        return m_dir.filePath(path);
    }

  private slots:
    // The build tree (or a portable folder) keeps everything beside the executable, though it
    // lies in a folder named bin.
    void aPortableProgramKeepsItsFilesBesideIt() {
        const QString folder = m_dir.filePath("build/bin");
        QDir().mkpath(folder);
        const core::ProgramFiles files = core::locateProgramFiles(folder, m_dir.filePath("data"));
        QCOMPARE(files.directory, folder);
        QCOMPARE(files.helpFile, folder + "/5710.rtf");
        core::makeDataFolderOnFirstStart(folder, files);
        QVERIFY(!QFile::exists(m_dir.filePath("data")));
    }

    // Installed: the user's data folder, made with the empty log on the first start only; the
    // installed help document unless the user put one of their own there.
    void anInstalledProgramKeepsThemInTheUsersDataFolder() {
        const QString bin = QFileInfo(made("usr/bin/envmeter")).path();
        const QString shared = made("usr/share/envmeter/5710.rtf");
        made("usr/share/envmeter/db1.mdb");
        const QString data = m_dir.filePath("home/.local/share/envmeter");
        core::ProgramFiles files = core::locateProgramFiles(bin, data);
        QCOMPARE(files.directory, data);
        QCOMPARE(files.helpFile, shared);
        core::makeDataFolderOnFirstStart(bin, files);
        QCOMPARE(QFile(data + "/db1.mdb").size(),
                 QFile(m_dir.filePath("usr/share/envmeter/db1.mdb")).size());
        QVERIFY(QFile::remove(data + "/db1.mdb"));
        core::makeDataFolderOnFirstStart(bin, files); // no first start: a missing log is told
        QVERIFY(!QFile::exists(data + "/db1.mdb"));
        const QString own = made("home/.local/share/envmeter/5710.rtf");
        QCOMPARE(core::locateProgramFiles(bin, data).helpFile, own);
    }
};

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "tst_program_files.moc"
