#include "log/connection.h"
#include "log/log_follower.h"
#include "sqlite_cli.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

QList<int> numbers(const std::vector<logbook::FollowedRecord> &records) {
    QList<int> out;
    for (const logbook::FollowedRecord &r : records)
        out.append(r.record.no);
    return out;
}

} // namespace

// A reader following a folder's logs as they are written: in order, across the record limit
// into the new live log, and after Clear All on with the records stamped later; a log locked
// by its writer gives nothing for now and the place is kept, never skipped.
class TestLogFollower : public QObject {
    Q_OBJECT

  private slots:
    void followsTheRecordsInTheOrderTaken() {
        QTemporaryDir dir;
        const QString live = createdLog(QDir(dir.path()).filePath("db1.mdb"));
        logbook::LogFollower follower(dir.path(), 100);
        QCOMPARE(follower.lastLiveRecord()->no, -1);
        fillLog(live, 0, 9, "12-04-2026");
        logbook::LogPlace at;
        // Reads up to a count, each time from the place given.
        const auto follow = [&](int count) {
            const std::vector<logbook::FollowedRecord> records = follower.recordsAfter(at, count);
            if (!records.empty())
                at = records.back().place;
            return numbers(records);
        };
        QCOMPARE(follow(4), QList<int>({0, 1, 2, 3}));
        QCOMPARE(follow(4), QList<int>({4, 5, 6, 7}));

        // The limit: the live log backed up to maxdb1.mdb and emptied, numbers starting again.
        QVERIFY(QFile::copy(live, QDir(dir.path()).filePath("maxdb1.mdb")));
        sqlite3(live, "DELETE FROM b1");
        fillLog(live, 0, 2, "12-05-2026");
        QCOMPARE(follow(10), QList<int>({8, 9, 0, 1, 2}));
        QCOMPARE(follower.lastLiveRecord()->no, 2);

        // Clear All, then a new record stamped later.
        sqlite3(live, "DELETE FROM b1");
        fillLog(live, 0, 0, "12-06-2026");
        QCOMPARE(follow(10), QList<int>({0}));

        // The writer's lock held longer than the follower waits: nothing now, all later.
        fillLog(live, 1, 1, "12-06-2026");
        {
            logbook::Connection writer;
            QVERIFY(writer.open(live) && writer.execute("BEGIN EXCLUSIVE"));
            QVERIFY(follow(10).isEmpty());
            QVERIFY(writer.execute("COMMIT"));
        }
        QCOMPARE(follow(10), QList<int>({1}));
    }
};

QTEST_GUILESS_MAIN(TestLogFollower)
#include "tst_log_follower.moc"
