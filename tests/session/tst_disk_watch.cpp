#include "session/disk_watch.h"

#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

/// Readings at `perSecond` for one check's time from `start` ms: what the watch said at its end.
std::optional<QString> logFor(session::DiskWatch &watch, qint64 &ms, double perSecond) {
    const qint64 readings = qint64(perSecond * session::DiskWatch::kCheckMs / 1000);
    std::optional<QString> said;
    for (qint64 n = 0; n <= readings; ++n)
        if (auto now = watch.readingLogged(ms + n * session::DiskWatch::kCheckMs / readings))
            said = now;
    ms += session::DiskWatch::kCheckMs;
    return said;
}

} // namespace

class TestDiskWatch : public QObject {
    Q_OBJECT

  private slots:
    // The rates are chosen from the space really free, so that the disk lasts the time wanted.
    void saysOnceAWeekAndOnceADayIsLeft() {
        QTemporaryDir dir;
        const double free = double(QStorageInfo(dir.path()).bytesAvailable());
        const auto rateLasting = [free](double seconds) {
            return free / (seconds * session::DiskWatch::kBytesPerReading);
        };
        session::DiskWatch watch(dir.path());
        qint64 ms = 1000;
        watch.readingLogged(ms);
        QVERIFY(!logFor(watch, ms, rateLasting(30 * 86400)));
        const std::optional<QString> week = logFor(watch, ms, rateLasting(3 * 86400));
        QVERIFY(week);
        QVERIFY2(week->contains(QDir::toNativeSeparators(dir.path())) &&
                     week->contains(QRegularExpression("about [234] days of logging")),
                 qPrintable(*week));
        QVERIFY(!logFor(watch, ms, rateLasting(3 * 86400)));
        const std::optional<QString> day = logFor(watch, ms, rateLasting(5 * 3600));
        QVERIFY2(day && day->contains("about 5 hours"), qPrintable(day.value_or("nothing")));
        QVERIFY(!logFor(watch, ms, rateLasting(4 * 3600)));
        QVERIFY(!logFor(watch, ms, rateLasting(3 * 86400)));
        // Room again (or a slower meter), then less than a week once more: said again.
        QVERIFY(!logFor(watch, ms, rateLasting(30 * 86400)));
        QVERIFY(logFor(watch, ms, rateLasting(2 * 86400)));
    }
};

QTEST_GUILESS_MAIN(TestDiskWatch)
#include "tst_disk_watch.moc"
