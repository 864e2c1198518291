#include "chart/image_surface.h"

#include <QTest>

using chart::BoxGeometry;

namespace {

constexpr core::Rgb kBlack{0, 0, 0};
constexpr core::Rgb kWhite{255, 255, 255};
constexpr core::Rgb kYellow{255, 255, 0};

// The plot box: 6015 x 2790 twips with a 2-pixel border, 397 x 182 logical pixels inside.
constexpr BoxGeometry kPlotBox{840, 120, 6015, 2790, 2};

int countPixels(const QImage &image, QRgb colour, QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

} // namespace

class TestSurfaces : public QObject {
    Q_OBJECT

  private slots:
    void paintsClippedSharpLinesInTwips() {
        chart::ImageSurface surface(kPlotBox);
        const QImage &image = surface.image();
        QCOMPARE(image.size(), QSize(397, 182));
        surface.setBackColour(kBlack);
        QCOMPARE(countPixels(image, qRgb(0, 0, 0)), 397 * 182);

        surface.setForeColour(kWhite);
        surface.line(-3000, 150, 99999, 150); // far past both sides
        QCOMPARE(countPixels(image, qRgb(255, 255, 255), QRect(0, 10, 397, 1)), 397);
        QCOMPARE(countPixels(image, qRgb(255, 255, 255)), 397);

        surface.setForeColour(kYellow);
        surface.box(150, 300, 450, 600);
        QCOMPARE(countPixels(image, qRgb(255, 255, 0)), 20 * 20);
        QCOMPARE(image.pixel(10, 20), qRgb(255, 255, 0));

        surface.setBackColour(kWhite);
        QCOMPARE(countPixels(image, qRgb(255, 255, 255)), 397 * 182);
    }

    // Whoever shows the image hears of every change and where it is: the screen shows that part.
    void reportsWhereTheImageChanged() {
        chart::ImageSurface surface(kPlotBox);
        QList<QRect> changes;
        surface.setChangedHandler([&](const QRect &area) { changes.append(area); });
        surface.setBackColour(kBlack);
        surface.setDrawWidth(3);
        surface.line(300, 450, 1500, 450);
        surface.box(150, 300, 450, 600);
        surface.print("x");
        QCOMPARE(changes.size(), 4);
        QCOMPARE(changes[0], QRect(QPoint(), surface.image().size()));
        QVERIFY(changes[1].contains(QRect(19, 29, 83, 3)) && changes[1].height() < 12);
        QVERIFY(changes[2].contains(QRect(10, 20, 20, 20)) && changes[2].width() < 30);
        QVERIFY(!changes[3].isEmpty() && changes[3].width() < 40);
    }

    void rebuildsForHighDensityScreensAndAsksForRepaint() {
        chart::ImageSurface surface(kPlotBox);
        int repaints = 0;
        surface.setRepaintHandler([&] { ++repaints; });
        surface.setBackColour(kBlack);
        surface.setDevicePixelRatio(2);
        QCOMPARE(repaints, 1);
        const QImage &image = surface.image();
        QCOMPARE(image.size(), QSize(794, 364));
        surface.setForeColour(kWhite);
        surface.line(0, 150, 5955, 150);
        QCOMPARE(countPixels(image, qRgb(255, 255, 255)), 2 * 794);
        QCOMPARE(countPixels(image, qRgb(255, 255, 255), QRect(0, 20, 794, 2)), 2 * 794);
        surface.setDevicePixelRatio(2);
        QCOMPARE(repaints, 1);
    }
};

QTEST_MAIN(TestSurfaces)
#include "tst_surfaces.moc"
