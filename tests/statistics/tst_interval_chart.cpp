#include "core/reading_texts.h"
#include "core/time_stamp.h"
#include "statistics/interval_chart.h"
#include "views/statistics/interval_chart_view.h"

#include <QGuiApplication>
#include <QImage>
#include <QTest>

namespace {

const core::ZoneClock kBerlin(QTimeZone("Europe/Berlin"));

qint64 instantOf(const char *stamp) {
    return kBerlin.instantOf(*core::clockSeconds(QString::fromLatin1(stamp)));
}

/// Each tick as "LABEL" or "LABEL/DATE".
QStringList shown(const std::vector<stats::TimeTick> &ticks) {
    QStringList out;
    for (const stats::TimeTick &t : ticks)
        out.append(t.date.isEmpty() ? t.label : t.label + u'/' + t.date);
    return out;
}

/// An hour of sound at one level, from `start` on.
stats::IntervalFigures hourAt(qint64 start, double level) {
    stats::GroupFigures g;
    g.function = core::kFunctionSound;
    g.unit = core::kUnitDecibel;
    g.readings = 360;
    g.min = g.max = g.leq = level;
    g.hi = 4000;
    g.low = -4000;
    return {kBerlin.at(start), kBerlin.at(start + 3600), {g}};
}

} // namespace

class TestIntervalChart : public QObject {
    Q_OBJECT

  private slots:
    void scalesOnRoundValues_data() {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("most");
        QTest::addColumn<QList<double>>("ticks");
        QTest::newRow("sound") << 50.0 << 70.0 << 6 << QList<double>{50, 55, 60, 65, 70};
        QTest::newRow("between ticks")
            << 47.5 << 70.0 << 6 << QList<double>{45, 50, 55, 60, 65, 70};
        QTest::newRow("tenths") << 0.2 << 0.9 << 5 << QList<double>{0.2, 0.4, 0.6, 0.8, 1.0};
        QTest::newRow("the default limits")
            << -4000.0 << 4000.0 << 5 << QList<double>{-4000, -2000, 0, 2000, 4000};
        QTest::newRow("one value") << 21.0 << 21.0 << 5 << QList<double>{20, 20.5, 21, 21.5, 22};
    }
    void scalesOnRoundValues() {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(int, most);
        QFETCH(QList<double>, ticks);
        const std::vector<double> made = stats::valueTicks(low, high, most);
        QCOMPARE(QList<double>(made.begin(), made.end()).size(), ticks.size());
        for (qsizetype i = 0; i < ticks.size(); ++i)
            QVERIFY(qAbs(made[std::size_t(i)] - ticks[i]) < 1e-9);
    }

    // Calendar marks that fit: an hour in quarters, a day in three hours, the day the clock
    // goes back in hours (02:00 twice), a week in days, a month in Mondays.
    void marksTimeOnTheCalendar() {
        QCOMPARE(shown(stats::timeTicks(instantOf("14:00:00/12-05-2026"),
                                        instantOf("15:00:00/12-05-2026"), kBerlin, 7)),
                 QStringList({"14:00/12-05", "14:15", "14:30", "14:45", "15:00"}));
        QCOMPARE(shown(stats::timeTicks(instantOf("00:00:00/12-05-2026"),
                                        instantOf("00:00:00/12-06-2026"), kBerlin, 9)),
                 QStringList({"00:00/12-05", "03:00", "06:00", "09:00", "12:00", "15:00", "18:00",
                              "21:00", "00:00/12-06"}));
        const QStringList autumn = shown(stats::timeTicks(
            instantOf("00:00:00/10-25-2026"), instantOf("23:00:00/10-25-2026"), kBerlin, 30));
        QCOMPARE(autumn.size(), 25);
        QCOMPARE(autumn.mid(2, 3), QStringList({"02:00", "02:00 +01:00", "03:00"}));
        QCOMPARE(
            shown(stats::timeTicks(instantOf("00:00:00/12-07-2026"),
                                   instantOf("00:00:00/12-14-2026"), kBerlin, 10)),
            QStringList({"12-07", "12-08", "12-09", "12-10", "12-11", "12-12", "12-13", "12-14"}));
        QCOMPARE(shown(stats::timeTicks(instantOf("00:00:00/11-01-2026"),
                                        instantOf("00:00:00/12-01-2026"), kBerlin, 10)),
                 QStringList({"11-02", "11-09", "11-16", "11-23", "11-30"}));
    }

    // With the program's default limits of 4000 and -4000, a 50 dB hour and a 70 dB hour are
    // bars of plainly different heights; the limits are named, not scaled into.
    void readingsNotLimitsSetTheScale() {
        const qint64 start = instantOf("02:00:00/10-25-2026");
        const std::vector<stats::IntervalFigures> hours{hourAt(start, 70),
                                                        hourAt(start + 3600, 50)};
        const stats::ChartDrawing drawing =
            stats::intervalChart(hours, 0, 0, 800, 300, 12, {{}, kBerlin});
        QStringList texts;
        for (const stats::ChartText &t : drawing.texts)
            texts.append(t.text);
        QVERIFY2(texts.contains("HI 4000 above, LOW -4000 below"), qPrintable(texts.join('|')));
        QVERIFY(texts.contains("02:00 +01:00"));

        const QImage image = views::intervalChartImage(QSize(800, 300), hours, {{}, kBerlin});
        const auto barHeight = [&image](int x) {
            int blue = 0;
            for (int y = 0; y < image.height(); ++y)
                blue += image.pixelColor(x, y) == QColor(70, 110, 170);
            return blue;
        };
        const int seventy = barHeight(image.width() * 3 / 10);
        const int fifty = barHeight(image.width() * 7 / 10);
        QVERIFY2(fifty > 0 && seventy > fifty + 100,
                 qPrintable(QStringLiteral("%1 %2").arg(seventy).arg(fifty)));
    }
};

QTEST_MAIN(TestIntervalChart)
#include "tst_interval_chart.moc"
