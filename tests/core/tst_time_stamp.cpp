#include "core/time_stamp.h"

#include <QLocale>
#include <QTest>

class TestTimeStamp : public QObject {
    Q_OBJECT

  private slots:
    void formatsStampAndClockInAnyLocale();
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

QTEST_GUILESS_MAIN(TestTimeStamp)
#include "tst_time_stamp.moc"
