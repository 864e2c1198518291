#pragma once

#include "meter/frame_decoder.h"

#include <QString>

namespace session {

/// Texts for Vert Max and Vert Min.
struct ScaleTexts {
    QString vertMax;
    QString vertMin;
    friend bool operator==(const ScaleTexts &, const ScaleTexts &) = default;
};

// The chart scale a reading calls for, by the rows of the preset table. `value` is the
// reading's single-precision value.

/// Light, first reading or function change.
ScaleTexts lightPreset(bool x10, float value);
/// Light, decimal point moved to `dotPosition`.
ScaleTexts lightRangePreset(int dotPosition);
/// Temp, first reading.
ScaleTexts temperatureFirstPreset(float value);
/// Temp in C, function or unit change.
ScaleTexts celsiusPreset(float value);
/// Temp in F, function or unit change.
ScaleTexts fahrenheitPreset(float value);
/// Humidity, first reading or function change.
ScaleTexts humidityPreset();
/// Sound, first reading or function change.
ScaleTexts soundPreset(bool overload, float value);

} // namespace session
