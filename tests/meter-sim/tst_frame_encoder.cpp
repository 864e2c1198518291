#include "frame_encoder.h"
#include "meter/frame_decoder.h"

#include <QTest>

// Not "Display": X11 has a type of that name, which Qt GUI headers declare.
using MeterDisplay = metersim::Display;

namespace {

constexpr char kCells[] = "0123456789 L"; // L is read in digit 3 only
// Flags in the order of the bits of a combination number.
constexpr bool MeterDisplay::*kFlags[] = {&MeterDisplay::pointBefore3, &MeterDisplay::pointBefore4,
                                          &MeterDisplay::minus,        &MeterDisplay::rs232,
                                          &MeterDisplay::hold,         &MeterDisplay::x10,
                                          &MeterDisplay::lowBattery};
// No function, then each function the meter shows.
constexpr bool MeterDisplay::*kFunctions[] = {nullptr,
                                              &MeterDisplay::sound,
                                              &MeterDisplay::humidity,
                                              &MeterDisplay::celsius,
                                              &MeterDisplay::fahrenheit,
                                              &MeterDisplay::lux};
constexpr std::uint64_t kDisplays =
    12 * 12 * 12 * 12 * (1 << std::size(kFlags)) * std::size(kFunctions);

/// Display number i of all combinations of cells, points, sign, annunciators and function.
MeterDisplay nthDisplay(std::uint64_t i) {
    MeterDisplay d;
    for (char &cell : d.cells) {
        cell = kCells[i % 12];
        i /= 12;
    }
    for (const auto flag : kFlags) {
        d.*flag = i & 1;
        i >>= 1;
    }
    if (const auto function = kFunctions[i])
        d.*function = true;
    return d;
}

bool decodedAsShown(const MeterDisplay &d, const meter::Reading &r) {
    for (std::size_t n = 0; n < 4; ++n) {
        const bool digit = d.cells[n] >= '0' && d.cells[n] <= '9';
        if (r.Digits[n] != (digit ? QString(QLatin1Char(d.cells[n])) : QString()))
            return false;
    }
    return r.LightOverload == (d.cells[2] == 'L') && r.Minus == d.minus &&
           r.PointBefore3 == d.pointBefore3 && r.PointBefore4 == d.pointBefore4 &&
           r.Rs232 == d.rs232 && r.Hold == d.hold && r.X10 == d.x10 &&
           r.LowBattery == d.lowBattery && r.SoundFlag == d.sound && r.HumidityFlag == d.humidity &&
           r.CelsiusFlag == d.celsius && r.FahrenheitFlag == d.fahrenheit && r.LuxFlag == d.lux;
}

} // namespace

class TestFrameEncoder : public QObject {
    Q_OBJECT

  private slots:
    void roundTripsEveryDisplayAtEveryOffset();
};

void TestFrameEncoder::roundTripsEveryDisplayAtEveryOffset() {
    // Each display travels in a 28-byte chunk as the port delivers it: the tail of the frame
    // before it (after a stray byte, to reach offset 14), the frame, the head of the next.
    const meter::MeterFrame neighbour = metersim::encodeDisplay(MeterDisplay{});
    std::array<std::uint8_t, 14> before = neighbour.bytes;
    before[0] = 0xFF;
    // Bits the decoder must not read: byte 1 bits 1-2, byte 10, byte 11 bits 0-2, bytes 12 and
    // 13 bits 1-3, byte 14 bit 3. Real meters light other segments there.
    const std::uint8_t unread[14] = {0x6, 0, 0, 0, 0, 0, 0, 0, 0, 0xF, 0x7, 0xE, 0xE, 0x8};
    std::array<std::uint8_t, 28> chunk{};

    for (std::uint64_t i = 0; i < kDisplays; ++i) {
        const MeterDisplay d = nthDisplay(i);
        meter::MeterFrame frame = metersim::encodeDisplay(d);
        if (i % 2)
            for (std::size_t k = 0; k < 14; ++k)
                frame.bytes[k] |= unread[k];
        const std::size_t offset = i % 15;
        std::copy_n(before.end() - offset, offset, chunk.begin());
        std::copy_n(frame.bytes.begin(), 14, chunk.begin() + offset);
        std::copy_n(neighbour.bytes.begin(), 14 - offset, chunk.begin() + offset + 14);

        const auto found =
            meter::findFrame(QByteArrayView(reinterpret_cast<char *>(chunk.data()), 28), 28);
        if (!found || found->bytes != frame.bytes)
            QFAIL(qPrintable(QStringLiteral("display %1 not found at %2").arg(i).arg(offset)));
        if (!decodedAsShown(d, meter::decodeFrame(*found)))
            QFAIL(qPrintable(QStringLiteral("display %1 '%2' decoded otherwise")
                                 .arg(i)
                                 .arg(QLatin1String(d.cells.data(), 4))));
    }
}

QTEST_GUILESS_MAIN(TestFrameEncoder)
#include "tst_frame_encoder.moc"
