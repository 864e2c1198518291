#include "meter/frame_decoder.h"

#include <QTest>

using meter::MeterFrame;
using meter::Reading;

Q_DECLARE_METATYPE(MeterFrame)

namespace {

// Flag positions as the meter sends them: byte (1..14) and bit of its low nibble.
struct Bit {
    int byte;
    int bit;
};
constexpr Bit kHumidity{1, 3}, kMinus{2, 3}, kPoint3{6, 3}, kPoint4{8, 3}, kSound{11, 3},
    kLux{14, 0}, kCelsius{14, 1}, kFahrenheit{14, 2};

// Segment codes of 0..9 (without the 0x80 flag bit), of the letter L and of a blank.
constexpr std::uint8_t kDigit[10] = {0x7D, 0x05, 0x5B, 0x1F, 0x27, 0x3E, 0x7E, 0x15, 0x7F, 0x3F};
constexpr std::uint8_t L = 0x68, _ = 0x00;

/// A frame showing segment codes in digits 1..4 (high hex digit in byte 2n, low in 2n+1).
MeterFrame frameOf(std::array<std::uint8_t, 4> codes, std::initializer_list<Bit> flags) {
    MeterFrame frame;
    for (int k = 1; k <= meter::kFrameLength; ++k)
        frame.bytes[k - 1] = static_cast<std::uint8_t>(k << 4);
    for (int n = 1; n <= 4; ++n) {
        frame.bytes[2 * n - 1] |= codes[n - 1] >> 4;
        frame.bytes[2 * n] |= codes[n - 1] & 0x0F;
    }
    for (const Bit flag : flags)
        frame.bytes[flag.byte - 1] |= 1 << flag.bit;
    return frame;
}

std::array<std::uint8_t, 4> digits(int a, int b, int c, int d) {
    return {kDigit[a], kDigit[b], kDigit[c], kDigit[d]};
}

} // namespace

class TestFrameDecoder : public QObject {
    Q_OBJECT

  private slots:
    void decodesTheSoundExample();
    void decodesDisplays_data();
    void decodesDisplays();
};

void TestFrameDecoder::decodesTheSoundExample() {
    MeterFrame frame;
    frame.bytes = {0x11, 0x21, 0x35, 0x41, 0x5F, 0x6A, 0x77,
                   0x87, 0x9D, 0xA0, 0xB8, 0xC0, 0xD0, 0xE0};
    const Reading r = meter::decodeFrame(frame);
    QCOMPARE(r.Digits, (std::array<QString, 4>{"7", "3", "4", "0"}));
    QCOMPARE(r.ValueText, "73.40");
    QCOMPARE(r.Value, 73.4f);
    QCOMPARE(r.DotPosition, 3);
    QCOMPARE(r.Function, "Sound");
    QCOMPARE(r.Unit, "dB");
    QVERIFY(r.Rs232 && r.PointBefore3 && r.SoundFlag);
    QVERIFY(!r.Minus && !r.PointBefore4 && !r.X10 && !r.Hold && !r.LowBattery);
    QVERIFY(!r.HumidityFlag && !r.CelsiusFlag && !r.FahrenheitFlag && !r.LuxFlag);
    QVERIFY(!r.SoundOverload && !r.LightOverload);
}

void TestFrameDecoder::decodesDisplays_data() {
    QTest::addColumn<MeterFrame>("frame");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<bool>("soundOverload");
    QTest::addColumn<bool>("lightOverload");

    const auto row = [](const char *name, MeterFrame frame, const char *text, float value,
                        const char *unit, bool soundOverload = false, bool lightOverload = false) {
        QTest::newRow(name) << frame << QString::fromLatin1(text) << value
                            << QString::fromLatin1(unit) << soundOverload << lightOverload;
    };
    // Digits, points and sign.
    row("point before 4", frameOf(digits(1, 2, 3, 4), {kPoint4}), "123.4", 123.4f, "");
    row("both points: before 3 wins", frameOf(digits(1, 2, 3, 4), {kPoint3, kPoint4}), "12.34",
        12.34f, "");
    row("leading blank, negative", frameOf({_, kDigit[1], kDigit[5], kDigit[2]}, {kMinus, kPoint4}),
        "-15.2", -15.2f, "");
    row("all blank, negative", frameOf({_, _, _, _}, {kMinus}), "-", 0.0f, "");
    row("garbled digit drops out", frameOf({kDigit[1], 0x42, kDigit[3], kDigit[4]}, {}), "134",
        134.0f, "");
    row("0x80 bit read as a flag, not a segment",
        frameOf({0x80 | kDigit[9], 0x80 | kDigit[8], 0x80 | kDigit[7], 0x80 | kDigit[6]}, {}),
        "-98.76", -98.76f, "");
    // The letter L counts in digit 3 only.
    row("L in digit 3", frameOf({_, kDigit[0], L, _}, {kLux}), "0", 0.0f, "LUX", false, true);
    row("L elsewhere is blank", frameOf({L, kDigit[0], kDigit[1], L}, {kLux}), "01", 1.0f, "LUX");
    // Functions: later flags overwrite earlier ones; lux only without sound and humidity.
    row("C and F", frameOf(digits(0, 2, 3, 5), {kCelsius, kFahrenheit, kPoint4}), "023.5", 23.5f,
        "F");
    row("lux after F", frameOf(digits(0, 2, 3, 5), {kFahrenheit, kLux}), "0235", 235.0f, "LUX");
    row("lux off with humidity", frameOf(digits(0, 4, 5, 2), {kHumidity, kLux, kPoint4}), "045.2",
        45.2f, "%RH");
    row("humidity over sound, still clamped",
        frameOf(digits(2, 0, 0, 0), {kHumidity, kSound, kPoint3}), "O.L", 0.0f, "%RH", true);
    // The sound range 35..130 includes both ends.
    row("sound 130.0", frameOf(digits(1, 3, 0, 0), {kSound, kPoint4}), "130.0", 130.0f, "dB");
    row("sound 130.1", frameOf(digits(1, 3, 0, 1), {kSound, kPoint4}), "O.L", 130.0f, "dB", true);
    row("sound 35.00", frameOf(digits(3, 5, 0, 0), {kSound, kPoint3}), "35.00", 35.0f, "dB");
    row("sound 34.90", frameOf(digits(3, 4, 9, 0), {kSound, kPoint3}), "O.L", 0.0f, "dB", true);
}

void TestFrameDecoder::decodesDisplays() {
    QFETCH(MeterFrame, frame);
    QFETCH(QString, text);
    QFETCH(float, value);
    QFETCH(QString, unit);
    QFETCH(bool, soundOverload);
    QFETCH(bool, lightOverload);
    const Reading r = meter::decodeFrame(frame);
    QCOMPARE(r.ValueText, text);
    QCOMPARE(r.Value, value);
    QCOMPARE(r.DotPosition, text.indexOf(u'.') + 1);
    QCOMPARE(r.Unit, unit);
    QCOMPARE(r.SoundOverload, soundOverload);
    QCOMPARE(r.LightOverload, lightOverload);
}

QTEST_GUILESS_MAIN(TestFrameDecoder)
#include "tst_frame_decoder.moc"
