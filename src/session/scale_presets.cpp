#include "session/scale_presets.h"

#include "core/number_text.h"

#include <cmath>

namespace session {

ScaleTexts lightPreset(bool x10, float value) {
    if (x10)
        return {QStringLiteral("4000"), QStringLiteral("0")};
    if (value < 40)
        return {QStringLiteral("40.00"), QStringLiteral("0")};
    if (value < 400)
        return {QStringLiteral("400.0"), QStringLiteral("0")};
    return {QStringLiteral("4000"), QStringLiteral("0")};
}

ScaleTexts lightRangePreset(int dotPosition) {
    if (dotPosition == 0)
        return {QStringLiteral("4000"), QStringLiteral("0")};
    return {core::doubleText(std::pow(10.0, dotPosition) * 0.04), QStringLiteral("0")};
}

ScaleTexts temperatureFirstPreset(float value) {
    if (std::fabs(value) < 400)
        return {QStringLiteral("400.0"), QStringLiteral("-400.0")};
    return {QStringLiteral("4000"), QStringLiteral("-4000")};
}

ScaleTexts celsiusPreset(float value) {
    if (std::fabs(value) < 400)
        return {QStringLiteral("400.0"), QStringLiteral("-50.00")};
    return {QStringLiteral("1300"), QStringLiteral("400.0")};
}

ScaleTexts fahrenheitPreset(float value) {
    if (std::fabs(value) < 800)
        return {QStringLiteral("800.0"), QStringLiteral("-58.00")};
    return {QStringLiteral("2400"), QStringLiteral("800.0")};
}

ScaleTexts humidityPreset() { return {QStringLiteral("100"), QStringLiteral("0")}; }

ScaleTexts soundPreset(bool overload, float value) {
    if (overload)
        return {QStringLiteral("130"), QStringLiteral("35")};
    if (value < 100)
        return {QStringLiteral("100.0"), QStringLiteral("35.00")};
    return {QStringLiteral("130.0"), QStringLiteral("65.00")};
}

} // namespace session
