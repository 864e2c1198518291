#include "../log/sqlite_cli.h"
#include "live_log.h"
#include "log/file_copy.h"
#include "test_files.h"
#include "window/save_load_model.h"
#include "window/save_or_load_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using window::SaveLoadModel;

/// Each step of every copy as "file copied/total", and "ended" for its end.
struct RecordingProgress final : logbook::CopyProgress {
    QStringList told;
    void copying(const QString &to, qint64 copied, qint64 total) override {
        told.append(
            QStringLiteral("%1 %2/%3").arg(QFileInfo(to).fileName()).arg(copied).arg(total));
    }
    void writing(const QString &to, qint64 written, qint64 total) override {
        copying(to, written, total);
    }
    void copyEnded() override { told.append("ended"); }
};

// Saving and loading logs: the dialog's handlers and the command, on real files in a
// temporary program directory with a "logs" folder beside it.
class TestSaveLoad : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<LiveLog> m_live;
    std::unique_ptr<window::SaveLoadCommand> m_command;
    RecordingProgress m_progress;

    QString file(const QString &name) const { return m_dir->filePath(name); }
    QString logs() const { return file("logs"); }
    /// The command, with the dialog driven by `use` instead of a person.
    bool run(const std::function<void(SaveLoadModel &)> &use, bool lineOff = true) {
        return m_command->saveOrLoadLog(lineOff, [&](SaveLoadModel &dialog) {
            dialog.chooseFolder(logs());
            use(dialog);
        });
    }
    static void chooseToLoad(SaveLoadModel &dialog, const QString &name) {
        dialog.chooseLoad();
        dialog.chooseFile(name);
        dialog.accept();
    }

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir(m_dir->path()).mkdir("logs");
        fillLog(createdLog(file("db1.mdb")), 0, 19);
        QFile::copy(file("db1.mdb"), file("db2.mdb"));
        fillLog(createdLog(logs() + "/other.710"), 0, 4);
        m_live = std::make_unique<LiveLog>(m_dir->path());
        m_command = std::make_unique<window::SaveLoadCommand>(m_dir->path(), m_live->log,
                                                              m_live->gridSource, m_live->grid,
                                                              m_live->messages, &m_progress);
        m_progress.told.clear();
    }

    void savesACopyUnderANewNameOnly() {
        const QByteArray live = bytesOf(file("db1.mdb"));
        // Folders and links to folders are listed; a link to a device is none.
        QDir(logs()).mkdir("sub");
        QFile::link(logs() + "/sub", logs() + "/linked");
        QFile::link("/dev/null", logs() + "/device");
        QVERIFY(run([&](SaveLoadModel &dialog) {
            QStringList listed;
            for (const SaveLoadModel::DirEntry &entry : dialog.dirEntries())
                if (!entry.open)
                    listed.append(entry.name);
            QCOMPARE(listed, QStringList({"linked", "sub"}));
            QSignalSpy focus(&dialog, &SaveLoadModel::focusRequested);
            dialog.setNameText("   ");
            dialog.accept();
            QCOMPARE(focus.size(), 1);
            dialog.setNameText("  test ");
            dialog.accept();
            QVERIFY(dialog.isClosed());
        }));
        QCOMPARE(bytesOf(logs() + "/test.710"), live);
        QCOMPARE(m_live->gridSource.databaseName(), file("db1.mdb"));
        QCOMPARE(m_live->gridSource.recordCount(), 20);

        fillLog(file("db1.mdb"), 20, 29);
        run([](SaveLoadModel &dialog) {
            dialog.setNameText("test");
            dialog.accept();
            QVERIFY(!dialog.isClosed());
            dialog.cancel();
        });
        QCOMPARE(m_live->messages.shown(), QStringList{"Please rename filename!"});
        QCOMPARE(bytesOf(logs() + "/test.710"), live);
    }

    // Another program in the middle of writing the log: the copy waits for it to finish and
    // says so when it does not, rather than copy a file that may be half written.
    void waitsForAnotherProgramWritingTheLog() {
        QProcess writer;
        writer.start("sqlite3", {file("db1.mdb")});
        QVERIFY(writer.waitForStarted());
        writer.write("BEGIN EXCLUSIVE; INSERT INTO b1 VALUES(20,'Sound','1','dB','t',-20);\n"
                     "SELECT 'locked';\n");
        QVERIFY(writer.waitForReadyRead());
        run([](SaveLoadModel &dialog) {
            dialog.setNameText("busy");
            dialog.accept();
            QVERIFY(!dialog.isClosed());
            dialog.cancel();
        });
        QCOMPARE(m_live->messages.shown().size(), 1);
        QVERIFY(m_live->messages.shown()[0].contains("busy.710"));
        QVERIFY(!QFile::exists(logs() + "/busy.710"));
        writer.write("COMMIT;\n.quit\n");
        QVERIFY(writer.waitForFinished());
        run([](SaveLoadModel &dialog) {
            dialog.setNameText("busy");
            dialog.accept();
        });
        QCOMPARE(sqlite3(logs() + "/busy.710", "SELECT count(*) FROM b1"), "21");
    }

    void loadsAChosenLogAndKeepsTheOldOneAsRescue() {
        fillLog(logs() + "/other.710", 5, 29999); // more than one chunk of a copy
        const QByteArray before = bytesOf(file("db1.mdb"));
        QVERIFY(run([](SaveLoadModel &dialog) {
            dialog.chooseLoad();
            QCOMPARE(dialog.files(), QStringList{"other.710"});
            QSignalSpy focus(&dialog, &SaveLoadModel::focusRequested);
            dialog.accept(); // nothing chosen yet
            dialog.chooseFile("notes.txt");
            dialog.accept();
            QCOMPARE(focus.size(), 2);
            dialog.chooseFile("gone.710");
            dialog.accept();
            QCOMPARE(dialog.selectedPath(), dialog.dirPath() + "/gone.710");
            QVERIFY(!dialog.isClosed());
            dialog.chooseFile("other.710");
            dialog.accept();
        }));
        QCOMPARE(m_live->messages.shown(), QStringList{"file Not Exit!"});
        QCOMPARE(bytesOf(file("db1.mdb")), bytesOf(logs() + "/other.710"));
        QCOMPARE(bytesOf(file("sosdb1.mdb")), before);
        QCOMPARE(m_live->gridSource.recordCount(), 30000);
        // Told of every chunk, so that a long copy shows its progress.
        const qint64 kept = before.size();
        const qint64 loaded = QFileInfo(file("db1.mdb")).size();
        QCOMPARE(m_progress.told,
                 QStringList({QStringLiteral("sosdb1.mdb %1/%1").arg(kept), "ended",
                              QStringLiteral("db1.mdb %1/%2").arg(1 << 20).arg(loaded),
                              QStringLiteral("db1.mdb %1/%1").arg(loaded), "ended"}));
    }

    // The only test of a loaded file is whether the grid can show it again.
    void undoesALoadOfAFileThatIsNoLog_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("sql");
        QByteArray noise(4096, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char(i * 7919 % 251);
        QTest::newRow("a text file") << QByteArray("readings of Monday\n") << QString();
        QTest::newRow("random bytes") << noise << QString();
        QTest::newRow("no table b1") << QByteArray() << "CREATE TABLE t(x)";
        QTest::newRow("b1 without the columns") << QByteArray() << "CREATE TABLE b1(x)";
    }
    void undoesALoadOfAFileThatIsNoLog() {
        QFETCH(QByteArray, content);
        QFETCH(QString, sql);
        const QString bad = logs() + "/bad.710";
        QVERIFY(writeFile(bad, content));
        if (!sql.isEmpty())
            sqlite3(bad, sql);
        const QByteArray before = bytesOf(file("db1.mdb"));
        run([](SaveLoadModel &dialog) { chooseToLoad(dialog, "bad.710"); });
        QCOMPARE(m_live->messages.shown(),
                 QStringList{"This is not standard database,Please Use saved database"});
        QCOMPARE(bytesOf(file("db1.mdb")), before);
        QCOMPARE(m_live->gridSource.databaseName(), file("db1.mdb"));
        QCOMPARE(m_live->gridSource.recordCount(), 20);
    }

    void aFailedCopyLeavesTheLogAsItWas() {
        const QByteArray before = bytesOf(file("db1.mdb"));
        // A chosen "file" that cannot be read, after the live log has been deleted.
        QDir(logs()).mkdir("folder.710");
        run([](SaveLoadModel &dialog) {
            chooseToLoad(dialog, "folder.710");
            QVERIFY(!dialog.isClosed());
            dialog.cancel();
        });
        QCOMPARE(m_live->messages.shown().size(), 1);
        QVERIFY(m_live->messages.shown()[0].contains("has been put back"));
        QCOMPARE(bytesOf(file("db1.mdb")), before);

        // The rescue copy cannot be written: nothing is deleted or loaded.
        m_live->messages.clear();
        QFile::remove(file("sosdb1.mdb"));
        QDir(m_dir->path()).mkdir("sosdb1.mdb");
        run([](SaveLoadModel &dialog) {
            chooseToLoad(dialog, "other.710");
            dialog.cancel();
        });
        QVERIFY(m_live->messages.shown().value(0).contains(
            QDir::toNativeSeparators(file("sosdb1.mdb"))));
        QCOMPARE(bytesOf(file("db1.mdb")), before);
        QCOMPARE(m_live->gridSource.recordCount(), 20);
    }

    void refusesWhileOnLineAndCancelChangesNothing() {
        const QByteArray before = bytesOf(file("db1.mdb"));
        QVERIFY(!run([](SaveLoadModel &) { QFAIL("the dialog opened"); }, false));
        QCOMPARE(m_live->messages.shown(), QStringList{"Please offline!"});

        QFile::remove(file("db2.mdb")); // made again from the live log
        bool standbyBound = false;
        QVERIFY(run([&](SaveLoadModel &dialog) {
            standbyBound =
                m_live->gridSource.databaseName() == file("db2.mdb") && !m_live->gridSource.error();
            dialog.chooseDrive(0);
            dialog.chooseFolder(QDir::rootPath());
            dialog.chooseLoad();
            dialog.chooseFolder(logs());
            dialog.cancel();
        }));
        QVERIFY(standbyBound);
        QCOMPARE(bytesOf(file("db2.mdb")), before);
        QCOMPARE(bytesOf(file("db1.mdb")), before);
        QVERIFY(!QFile::exists(file("sosdb1.mdb")));
        QCOMPARE(m_live->gridSource.databaseName(), file("db1.mdb"));
        QCOMPARE(m_live->messages.shown().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSaveLoad)
#include "tst_save_load.moc"
