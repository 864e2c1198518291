#include "core/time_stamp.h"
#include "core/zone_clock.h"

#include <QLocale>
#include <QTest>

class TestTimeStamp : public QObject {
    Q_OBJECT

  private slots:
    void formatsStampAndClockInAnyLocale();
    void readsBoundsAsTyped_data();
    void readsBoundsAsTyped();
    void readsBoundsInTheirZone();
};

void TestTimeStamp::formatsStampAndClockInAnyLocale() {
    const struct {
        QDateTime time;
        const char *stamp;
        const char *clock;
    } rows[] = {
        {{QDate(2026, 12, 4), QTime(14, 3, 27)}, "14:03:27/12-04-2026", "12-04-2026 14:03:27"},
        {{QDate(2001, 3, 7), QTime(9, 5, 2)}, "09:05:02/03-07-2001", "03-07-2001 09:05:02"},
        {{QDate(1999, 12, 31), QTime(0, 0, 0, 999)}, "00:00:00/12-31-1999", "12-31-1999 00:00:00"},
    };
    // A locale with digits and a date order of its own must not reach the log.
    for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::Arabic, QLocale::Egypt)}) {
        QLocale::setDefault(locale);
        for (const auto &row : rows) {
            QCOMPARE(core::timeStamp(row.time), row.stamp);
            QCOMPARE(core::clockText(row.time), row.clock);
            QCOMPARE(core::readTimeStamp(QString::fromLatin1(row.stamp)),
                     row.time.addMSecs(-row.time.time().msec()));
        }
        QCOMPARE(core::isoTime(rows[1].time), "2001-03-07T09:05:02");
    }
    QLocale::setDefault(QLocale::c());
}

// A span's bound as a user types it: what it leaves out is its whole minute or day.
void TestTimeStamp::readsBoundsAsTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("full") << "2026-12-08T14:07:05"
                          << "2026-12-08T14:07:05"
                          << "2026-12-08T14:07:05";
    QTest::newRow("a blank for T") << " 2026-12-08 14:07:05 "
                                   << "2026-12-08T14:07:05"
                                   << "2026-12-08T14:07:05";
    QTest::newRow("a minute") << "2026-12-08 14:07"
                              << "2026-12-08T14:07:00"
                              << "2026-12-08T14:07:59";
    QTest::newRow("a day") << "2026-12-31"
                           << "2026-12-31T00:00:00"
                           << "2026-12-31T23:59:59";
    QTest::newRow("an hour alone") << "2026-12-08 14" << QString() << QString();
    QTest::newRow("no such day") << "2026-02-30" << QString() << QString();
    QTest::newRow("two blanks") << "2026-12-08  14:07" << QString() << QString();
}

void TestTimeStamp::readsBoundsAsTyped() {
    QFETCH(QString, typed);
    QFETCH(QString, first);
    QFETCH(QString, last);
    const auto shown = [](std::optional<qint64> seconds) {
        return seconds ? core::isoTimeOfClockSeconds(*seconds) : QString();
    };
    QCOMPARE(shown(core::clockSecondsOfBound(typed, false)), first);
    QCOMPARE(shown(core::clockSecondsOfBound(typed, true)), last);
}

// Local time, the first pass where the clock read it twice, a skipped time as the clock before
// the change meant it; or the instant its offset says.
void TestTimeStamp::readsBoundsInTheirZone() {
    const core::ZoneClock berlin(QTimeZone("Europe/Berlin"));
    const auto shown = [&berlin](const char *typed, bool end = false) {
        const std::optional<qint64> instant =
            core::instantOfBound(QString::fromLatin1(typed), end, berlin);
        return instant ? core::isoTimeWithOffset(berlin.at(*instant)) : QString();
    };
    QCOMPARE(shown("2026-10-25 02:30"), "2026-10-25T02:30:00+02:00");
    QCOMPARE(shown("2026-10-25 02:30+01:00", true), "2026-10-25T02:30:59+01:00");
    QCOMPARE(shown("2026-10-25T00:30:00Z"), "2026-10-25T02:30:00+02:00");
    QCOMPARE(shown("2026-10-25T02:30:00 -05:00"), "2026-10-25T08:30:00+01:00");
    QCOMPARE(shown("2026-03-29 02:30"), "2026-03-29T03:30:00+02:00");
    QCOMPARE(shown("2026-03-29", true), "2026-03-29T23:59:59+02:00");
    for (const char *wrong :
         {"2026-10-25 02:30+1", "2026-10-25 02:30+15:00", "2026-10-25T02:30:00+01"})
        QCOMPARE(shown(wrong), QString());
}

QTEST_GUILESS_MAIN(TestTimeStamp)
#include "tst_time_stamp.moc"
