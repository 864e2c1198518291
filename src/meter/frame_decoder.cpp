#include "meter/frame_decoder.h"

#include "core/number_text.h"

#include <QStringView>

#include <algorithm>

namespace meter {

namespace {

// Flag positions: byte and bit within its low nibble.
struct FlagBit {
    int byte;
    int bit;
};
constexpr FlagBit kRs232{1, 0};
constexpr FlagBit kHumidity{1, 3};
constexpr FlagBit kMinus{2, 3};
constexpr FlagBit kX10{4, 3};
constexpr FlagBit kPointBefore3{6, 3};
constexpr FlagBit kPointBefore4{8, 3};
constexpr FlagBit kSound{11, 3};
constexpr FlagBit kHold{12, 0};
constexpr FlagBit kLowBattery{13, 0};
constexpr FlagBit kLux{14, 0};
constexpr FlagBit kCelsius{14, 1};
constexpr FlagBit kFahrenheit{14, 2};

bool flag(const MeterFrame &frame, FlagBit at) { return frame.bit(at.byte, at.bit); }

/// The segment code of digit n (1..4): the low nibble of byte 2n as the high hex digit, that
/// of byte 2n+1 as the low one. Its 0x80 bit belongs to a flag and is masked off.
std::uint8_t segmentCode(const MeterFrame &frame, int digit) {
    const auto code =
        static_cast<std::uint8_t>(frame.nibble(2 * digit) << 4 | frame.nibble(2 * digit + 1));
    return code & 0x7F;
}

constexpr std::uint8_t kLetterLCode = 0x68;

/// Segment codes of the digits 0..9, without the 0x80 flag bit. Any other code is a blank.
constexpr std::array<std::uint8_t, 10> kDigitTable{0x7D, 0x05, 0x5B, 0x1F, 0x27,
                                                   0x3E, 0x7E, 0x15, 0x7F, 0x3F};

/// The digit a segment code shows, or -1 for a blank.
int digitOfCode(std::uint8_t code) {
    const auto *found = std::find(kDigitTable.begin(), kDigitTable.end(), code);
    return found == kDigitTable.end() ? -1 : static_cast<int>(found - kDigitTable.begin());
}

const QString &digitText(int digit) {
    static const std::array<QString, 10> texts{
        QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
        QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
        QStringLiteral("8"), QStringLiteral("9")};
    return texts[static_cast<std::size_t>(digit)];
}

void readFlags(const MeterFrame &frame, Reading &r) {
    r.Minus = flag(frame, kMinus);
    r.X10 = flag(frame, kX10);
    r.PointBefore3 = flag(frame, kPointBefore3);
    r.PointBefore4 = flag(frame, kPointBefore4);
    r.Rs232 = flag(frame, kRs232);
    r.HumidityFlag = flag(frame, kHumidity);
    r.SoundFlag = flag(frame, kSound);
    r.Hold = flag(frame, kHold);
    r.LowBattery = flag(frame, kLowBattery);
    r.CelsiusFlag = flag(frame, kCelsius);
    r.FahrenheitFlag = flag(frame, kFahrenheit);
    r.LuxFlag = !r.SoundFlag && !r.HumidityFlag && flag(frame, kLux);
}

void readDigits(const MeterFrame &frame, Reading &r) {
    for (int n = 1; n <= 4; ++n) {
        const std::uint8_t code = segmentCode(frame, n);
        const int digit = digitOfCode(code);
        if (digit >= 0)
            r.Digits[static_cast<std::size_t>(n - 1)] = digitText(digit);
        // The meter shows its light overload as a letter L, and only in digit 3.
        if (n == 3 && code == kLetterLCode)
            r.LightOverload = true;
    }
}

/// Value text and value: the digits joined with the decimal point (the point before digit 3
/// wins when both are lit), read by the leading-number rule, then the sign. The text is at
/// most "-", 4 digits and ".", so it is built in place and allocated once.
void buildValue(Reading &r) {
    std::array<QChar, 6> text;
    text[0] = u'-';
    qsizetype length = 1;
    for (std::size_t i = 0; i < r.Digits.size(); ++i) {
        const bool pointHere =
            (i == 2 && r.PointBefore3) || (i == 3 && r.PointBefore4 && !r.PointBefore3);
        if (pointHere)
            text[static_cast<std::size_t>(length++)] = u'.';
        if (!r.Digits[i].isEmpty())
            text[static_cast<std::size_t>(length++)] = r.Digits[i].front();
    }
    const QStringView unsignedText(text.data() + 1, length - 1);
    r.Value = static_cast<float>(core::leadingNumber(unsignedText));
    if (r.Minus) {
        r.ValueText = QString(text.data(), length);
        r.Value = -r.Value;
    } else {
        r.ValueText = unsignedText.toString();
    }
}

/// Function and unit of each function flag, in the order in which a later lit flag
/// overwrites an earlier one.
struct FunctionRule {
    bool Reading::*flag;
    const QString *function;
    const QString *unit;
};
const FunctionRule kFunctionRules[] = {
    {&Reading::SoundFlag, &core::kFunctionSound, &core::kUnitDecibel},
    {&Reading::HumidityFlag, &core::kFunctionHumidity, &core::kUnitRelativeHumidity},
    {&Reading::CelsiusFlag, &core::kFunctionTemp, &core::kUnitCelsius},
    {&Reading::FahrenheitFlag, &core::kFunctionTemp, &core::kUnitFahrenheit},
    {&Reading::LuxFlag, &core::kFunctionLight, &core::kUnitLux},
};

void assignFunction(Reading &r) {
    for (const FunctionRule &rule : kFunctionRules) {
        if (r.*rule.flag) {
            r.Function = *rule.function;
            r.Unit = *rule.unit;
        }
    }
}

void clampSound(Reading &r) {
    if (!r.SoundFlag)
        return;
    if (r.Value > kSoundMax) {
        r.Value = kSoundMax;
        r.SoundOverload = true;
    } else if (r.Value < kSoundMin) {
        r.Value = 0.0f;
        r.SoundOverload = true;
    }
    if (r.SoundOverload)
        r.ValueText = core::kOverloadText;
}

} // namespace

Reading decodeFrame(const MeterFrame &frame) {
    Reading r;
    readFlags(frame, r);
    readDigits(frame, r);
    buildValue(r);
    assignFunction(r);
    clampSound(r);
    r.DotPosition = static_cast<qint16>(r.ValueText.indexOf(u'.') + 1);
    return r;
}

} // namespace meter
