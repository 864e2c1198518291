#pragma once

#include "core/reading_texts.h"

#include "meter/meter_frame.h"

#include <QString>

#include <array>

namespace meter {

/// The sound range the meter measures; values outside are overloads.
inline constexpr float kSoundMax = 130.0f;
inline constexpr float kSoundMin = 35.0f;

/// One decoded display of the meter. Field names are the program's own.
struct Reading {
    /// Digit characters 1..4 from the left, each "0".."9" or empty (blank).
    std::array<QString, 4> Digits;
    /// The value as displayed: digits with "." and a leading "-", or "O.L" for a sound overload.
    QString ValueText;
    /// Numeric value of ValueText, after the sound clamp.
    float Value = 0.0f;
    /// 1-based position of the first "." in ValueText, 0 if none.
    qint16 DotPosition = 0;
    /// "Sound", "Humidity", "Temp", "Light" or empty.
    QString Function;
    /// "dB", "%RH", "C", "F", "LUX" or empty.
    QString Unit;

    bool Minus = false;
    bool PointBefore3 = false; ///< decimal point between digits 2 and 3
    bool PointBefore4 = false; ///< decimal point between digits 3 and 4
    bool Rs232 = false;
    bool X10 = false;
    bool Hold = false;
    bool LowBattery = false;
    bool SoundFlag = false;
    bool HumidityFlag = false;
    bool CelsiusFlag = false;
    bool FahrenheitFlag = false;
    bool LuxFlag = false;       ///< off whenever SoundFlag or HumidityFlag is on
    bool SoundOverload = false; ///< the sound value was outside 35..130 and was clamped
    bool LightOverload = false; ///< digit 3 showed the letter L
};

/// Decodes one display frame: flags, digits, value text and value, sign, function and unit
/// (later flags overwrite earlier ones: sound, humidity, Celsius, Fahrenheit, lux), and the
/// sound clamp. A garbled frame decodes all the same: unknown segment codes are blank digits.
Reading decodeFrame(const MeterFrame &frame);

} // namespace meter
