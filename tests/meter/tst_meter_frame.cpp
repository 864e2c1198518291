#include "meter/meter_frame.h"

#include <QTest>

namespace {

/// A frame: each byte carries its position (1..14) in the high nibble, `low` in the low one.
QByteArray frame(char low = 0) {
    QByteArray bytes;
    for (int k = 1; k <= meter::kFrameLength; ++k)
        bytes.append(static_cast<char>(k << 4 | low));
    return bytes;
}

} // namespace

class TestMeterFrame : public QObject {
    Q_OBJECT

  private slots:
    void findsFirstWholeFrameWithinCount_data();
    void findsFirstWholeFrameWithinCount();
};

void TestMeterFrame::findsFirstWholeFrameWithinCount_data() {
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("found"); // empty: no frame

    const QByteArray tail = frame().mid(1); // bytes 2..14: no frame starts in them
    QTest::newRow("at the start") << frame(1) + frame(2) << 28 << frame(1);
    QTest::newRow("after a partial frame")
        << frame(1).mid(4) + frame(2) + frame(3).left(4) << 28 << frame(2);
    QTest::newRow("13 bytes after the start") << tail + frame(5) << 27 << frame(5);
    QTest::newRow("starts at 14 of 28") << tail + "\xFF" + frame(5) << 28 << frame(5);
    QTest::newRow("starts at 15 of 28")
        << tail + "\xFF\xFF" + frame(5).left(13) << 28 << QByteArray();
    QTest::newRow("0x0F and 0x20 do not start one")
        << QByteArray("\x0F\x20") + "\x1F" + frame().mid(1) << 16 << "\x1F" + frame().mid(1);
    QTest::newRow("first start wins, garbled or not")
        << "\x10" + QByteArray(13, '\xFF') + frame(1) << 28 << "\x10" + QByteArray(13, '\xFF');
    QTest::newRow("nothing waiting") << frame() << 0 << QByteArray();
    QTest::newRow("count beyond a whole chunk") << frame(7) << 1000 << frame(7);
}

void TestMeterFrame::findsFirstWholeFrameWithinCount() {
    QFETCH(QByteArray, chunk);
    QFETCH(int, count);
    QFETCH(QByteArray, found);
    const auto result = meter::findFrame(chunk, count);
    const QByteArray bytes =
        result ? QByteArray(reinterpret_cast<const char *>(result->bytes.data()), 14)
               : QByteArray();
    QCOMPARE(bytes, found);
}

QTEST_GUILESS_MAIN(TestMeterFrame)
#include "tst_meter_frame.moc"
