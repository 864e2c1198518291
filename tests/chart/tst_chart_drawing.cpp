#include "../image_compare.h"
#include "chart/frame_axes.h"
#include "chart/gauges.h"
#include "chart/image_surface.h"
#include "chart/plot_background.h"
#include "chart/trend_plot.h"
#include "recording_surface.h"

#include <QTest>

using chart::Primitive;
using Kind = chart::Primitive::Kind;

namespace {

constexpr chart::BoxGeometry kPlotBox{840, 120, 6015, 2790, 2};
constexpr chart::BoxGeometry kFrame{240, 3840, 7095, 3255, 0};
constexpr core::Rgb kGrey{128, 128, 128};
constexpr core::Rgb kTeal{0, 128, 128};

chart::ChartSettings startSettings() { return {"400.0", "-400.0", "Black", "White", 1, 1}; }

// A reading into the trend as the receive pipeline puts it there.
void append(chart::Surface &plot, chart::Trend &trend, float value) {
    trend.store(value);
    chart::drawNewestSegment(plot, trend, startSettings());
    chart::advanceTrend(plot, trend, startSettings());
}

Primitive line(core::Rgb colour, int width, double x1, double y1, double x2, double y2) {
    return {Kind::Line, colour, width, x1, y1, x2, y2, 0, {}};
}

Primitive box(core::Rgb colour, double x1, double y1, double x2, double y2) {
    return {Kind::Box, colour, 0, x1, y1, x2, y2, 0, {}};
}

} // namespace

class TestChartDrawing : public QObject {
    Q_OBJECT

  private slots:
    void mapsReadingsOntoThePlotBox() {
        const auto y = [](float v, double hi, double lo) {
            return chart::trendPoint(0, v, hi, lo, 6015, 2790).y();
        };
        QVERIFY(qAbs(y(0, 400, -400) - 1395) < 1e-3);
        QVERIFY(qAbs(y(400, 400, -400)) < 1e-3);
        QVERIFY(qAbs(y(-400, 400, -400) - 2790) < 1e-3);
        QVERIFY(qAbs(y(500, 400, -400) + 348.75) < 1e-3);
        QVERIFY(y(150, 100, 200) > y(120, 100, 200)); // inverted scale: larger is lower
        QCOMPARE(chart::trendPoint(1, 0, 400, -400, 6015, 2790).x(), 6015.0 / 300);
    }

    void appendsOneSegmentPerReadingAndWipesAtThe300th() {
        chart::Trend trend;
        chart::RecordingSurface plot(kPlotBox);
        for (int i = 0; i < 299; ++i)
            append(plot, trend, float(i));
        QCOMPARE(trend.count(), 299);
        QCOMPARE(plot.primitives(Kind::Line).size(), 298);
        QVERIFY(plot.primitives(Kind::Clear).isEmpty());
        plot.forget();
        append(plot, trend, 299);
        QCOMPARE(trend.count(), 0);
        QCOMPARE(plot.primitives().first().kind, Kind::Line); // the 300th segment, then the wipe
        QCOMPARE(plot.primitives()[1].kind, Kind::Clear);
        plot.forget();
        append(plot, trend, -5);
        QVERIFY(plot.primitives().isEmpty());
        append(plot, trend, 5);
        QCOMPARE(plot.primitives(),
                 QList<Primitive>{line({255, 255, 255}, 2, 0,
                                       chart::trendPoint(0, -5, 400, -400, 6015, 2790).y(), 20.05,
                                       chart::trendPoint(1, 5, 400, -400, 6015, 2790).y())});
    }

    void drawsTheDashedGridWithItsPhaseCarriedOn() {
        chart::RecordingSurface plot(kPlotBox);
        chart::drawGrid(plot, chart::kBothGrids, u"Black");
        const QList<Primitive> lines = plot.primitives(Kind::Line);
        // 101 steps a horizontal line: 51 dashes on the first, 50 on the second, which begins
        // with a gap; the verticals carry on from there.
        QCOMPARE(lines[0], line(kGrey, 1, 0, 350, 60, 350));
        QCOMPARE(lines[50], line(kGrey, 1, 6000, 350, 6060, 350));
        QCOMPARE(lines[51], line(kGrey, 1, 60, 695, 120, 695));
        const qsizetype firstVertical = 4 * 51 + 3 * 50;
        QCOMPARE(lines[firstVertical - 1].y1, 2420.0);
        QCOMPARE(lines[firstVertical], line(kGrey, 1, 400, 60, 400, 120));
        QCOMPARE(lines[lines.size() - 2], line({0, 0, 0}, 4, 0, 0, 0, 2790));
        QCOMPARE(lines.last(), line({0, 0, 0}, 5, 0, 2790, 6015, 2790));
        QCOMPARE(plot.foreColour(), (core::Rgb{0, 0, 0}));

        plot.forget();
        chart::drawGrid(plot, chart::kWipeGrid, u"Teal");
        const QList<Primitive> wipe = plot.primitives(Kind::Line);
        QCOMPARE(wipe.size(), 7 + 14 + 2);
        QCOMPARE(wipe[0], line(plot.backColour(), 1, 0, 350, 6015, 350));
        QCOMPARE(wipe[7], line(plot.backColour(), 1, 400, 0, 400, 2790));
        for (const char16_t *name : {u"Cray", u"Olive", u"Teal", u"Navy"}) {
            plot.forget();
            chart::drawGrid(plot, chart::kHorizontalGrid, name);
            QCOMPARE(plot.primitives().first().colour,
                     name == std::u16string_view(u"Navy") ? kGrey : kTeal);
        }
    }

    void normalisesValueLabels_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("x");
        const QList<std::tuple<const char *, const char *, int>> rows{
            {"400.0", "400.0", 100},    {"300", "300.0", 100},   {"25", "25.00", 100},
            {"5", "5.000", 100},        {".5", "0.500", 100},    {"0.5", "0.500", 100},
            {"-100", "-100.0", 0},      {"-0.25", "-0.250", 0},  {"0", "0", 500},
            {"1000", "1000", 200},      {"1234.5", "1234.5", 0}, {"", ".0000", 100},
            {"118.125", "118.125", 200}};
        for (const auto &[label, text, x] : rows)
            QTest::newRow(label) << label << text << x;
    }
    void normalisesValueLabels() {
        QFETCH(QString, label);
        const chart::PlacedLabel placed = chart::normaliseValueLabel(label);
        QTEST(placed.text, "text");
        QTEST(placed.x, "x");
    }

    void rescalesTheValueAxisErasingTheOldLabels() {
        chart::RecordingSurface frame(kFrame);
        chart::ValueLabels labels{"400.0",  "300.0",  "200.0",  "100.0", "0",
                                  "-100.0", "-200.0", "-300.0", "-400.0"};
        chart::rescaleValueAxis(frame, labels, u" 130 ", u"35");
        const QList<Primitive> texts = frame.primitives(Kind::Text);
        QCOMPARE(texts.size(), 18);
        QCOMPARE(texts[4],
                 (Primitive{Kind::Text, chart::kFrameBackground, 0, 500, 1430, 0, 0, 10, "0"}));
        QStringList printed;
        QList<int> xs;
        for (qsizetype i = 9; i < 18; ++i) {
            printed.append(texts[i].text);
            xs.append(int(texts[i].x1));
            QCOMPARE(texts[i].y1, 50.0 + 345 * (i - 9));
            QCOMPARE(texts[i].colour, (core::Rgb{0, 0, 0}));
        }
        QCOMPARE(printed, QStringList({"130.0", "118.125", "106.25", "94.375", "82.50", "70.625",
                                       "58.75", "46.875", "35.00"}));
        QCOMPARE(xs, QList<int>({100, 200, 0, 0, 100, 0, 100, 0, 100}));
        QCOMPARE(labels[8], "35.00");
    }

    // On the screen, what is erased by painting over must leave no trace: not an edge pixel of
    // an old label, nor of a dash of the horizontal grid once XGrid is unticked.
    void erasingLeavesNoTrace() {
        for (const qreal ratio : {1.0, 2.0}) {
            const auto at = [ratio](int x, int y) {
                return QStringLiteral("%1,%2 at ratio %3").arg(x).arg(y).arg(ratio);
            };
            chart::ImageSurface plot(kPlotBox, ratio);
            plot.setBackColour({0, 0, 0});
            chart::drawGrid(plot, chart::kBothGrids, u"Black");
            chart::drawGrid(plot, chart::kWipeGrid, u"Black");
            chart::drawGrid(plot, chart::kVerticalGrid, u"Black");
            const QImage &grid = plot.image();
            QList<int> verticals; // device columns of the vertical grid
            for (int k = 1; k <= 14; ++k)
                for (int i = 0; i < ratio; ++i)
                    verticals.append(int(qRound(400 * k / 15.0) * ratio) + i);
            for (int k = 1; k <= 7; ++k)
                for (int y = 0; y < ratio; ++y) {
                    const int row = int(qRound((350 + 345 * (k - 1)) / 15.0) * ratio) + y;
                    for (int x = 5 * ratio; x < grid.width(); ++x)
                        QVERIFY2(grid.pixel(x, row) == qRgb(0, 0, 0) || verticals.contains(x),
                                 qPrintable(at(x, row)));
                }

            chart::ImageSurface frame(kFrame, ratio);
            frame.setBackColour(chart::kFrameBackground);
            chart::ValueLabels labels{"400.0",  "300.0",  "200.0",  "100.0", "0",
                                      "-100.0", "-200.0", "-300.0", "-400.0"};
            chart::repaintChartFrame(frame, chart::RecordingSurface(kPlotBox), labels, {});
            chart::rescaleValueAxis(frame, labels, u"100.0", u"35.00");
            const QImage &image = frame.image();
            const int columnEnd = int(750 / 15 * ratio); // left of the ticks
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < columnEnd; ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    QVERIFY2(pixel == qRgb(192, 192, 192) || pixel == qRgb(0, 0, 0),
                             qPrintable(at(x, y)));
                }
        }
    }

    void drawsTheTimeAxisUnderThePlot() {
        chart::RecordingSurface frame(kFrame);
        const chart::RecordingSurface plot(kPlotBox);
        chart::TimeLabels labels;
        for (int i = 0; i < 16; ++i)
            labels[i] = QString::number(20 * i);
        chart::drawTimeTicks(frame, plot);
        chart::drawTimeLabels(frame, plot, labels);
        const QList<Primitive> ticks = frame.primitives(Kind::Line);
        QCOMPARE(ticks.size(), 61);
        QCOMPARE(ticks.first(), line({80, 80, 80}, 1, 847, 2910, 847, 3010));
        QCOMPARE(ticks[1], line({80, 80, 80}, 1, 947, 2910, 947, 2950));
        QCOMPARE(ticks.last(), line({80, 80, 80}, 1, 6847, 2910, 6847, 3010));
        const QList<Primitive> texts = frame.primitives(Kind::Text);
        QCOMPARE(texts[0].x1, 800.0);  // "0": 1080 - 320 + 40
        QCOMPARE(texts[1].x1, 1160.0); // "20"
        QCOMPARE(texts[5].x1, 2720.0); // "100": 1080 - 320 + 2000 - 40
        QCOMPARE(texts[5].y1, 3010.0);
    }

    void lightsTheWedgeRowByRow() {
        chart::RecordingSurface wedge({7980, 1080, 3795, 1530, 2});
        chart::paintWedgeCells(wedge, 0);
        QCOMPARE(wedge.primitives().size(), 55);
        QCOMPARE(wedge.primitives()[1], box({11, 247, 247}, 3340, 170, 3600, 230));
        QCOMPARE(wedge.primitives()[2], box({11, 247, 247}, 3020, 170, 3280, 230));
        const QList<std::pair<qint16, int>> litCells{{5, 0},    {10, 1},   {15, 3}, {25, 3},
                                                     {100, 55}, {110, 66}, {-30, 0}};
        for (const auto &[pct, cells] : litCells) {
            wedge.forget();
            chart::paintWedgeCells(wedge, pct);
            QCOMPARE(wedge.primitives().size(), cells);
        }
        chart::paintWedgeCells(wedge, 110);
        QCOMPARE(wedge.primitives().last(), box({0, 255, 0}, 140, 1250, 400, 1310));
    }

    void paintsTheLevelBarBetweenTwoPercentages() {
        chart::RecordingSurface bar({4080, 2280, 3735, 255, 2});
        chart::drawLevelBar(bar, 40, 25);
        const QList<Primitive> lines = bar.primitives();
        QCOMPARE(lines.size(), 196); // y = 0 .. 195, the inner height
        QCOMPARE(lines.first().x1, 40 * 3675 / 100.0);
        QCOMPARE(lines.first().x2, 40 * 3675 / 100.0 - 551); // -551.25 to even: -551
        QCOMPARE(lines.last().y1, 195.0);
    }

    // The plot box as the user sees it after load, and after a short curve, at 100 % and at a
    // pixel density of 2; the references are kept in the repository.
    void rendersThePlotBox_data() {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("100%") << qreal(1);
        QTest::newRow("200%") << qreal(2);
    }
    void rendersThePlotBox() {
        QFETCH(qreal, ratio);
        chart::ImageSurface plot(kPlotBox, ratio);
        chart::applyChartBackground(plot, startSettings());
        const QString suffix = ratio > 1 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
        QVERIFY(matchesReference(plot.image(),
                                 QStringLiteral(REFERENCE_DIR "/plot_after_load") + suffix));
        chart::Trend trend;
        for (int i = 0; i < 60; ++i)
            append(plot, trend, float(300 * std::sin(i / 8.0)));
        QVERIFY(matchesReference(plot.image(),
                                 QStringLiteral(REFERENCE_DIR "/plot_with_curve") + suffix));
    }
};

QTEST_MAIN(TestChartDrawing)
#include "tst_chart_drawing.moc"
