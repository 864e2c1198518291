#pragma once

#include <QString>
#include <QStringView>

namespace core {

/// Function and unit texts of a reading, as the displays, the log, the statistics and the
/// published messages name them.
inline const QString kFunctionSound = QStringLiteral("Sound");
inline const QString kFunctionHumidity = QStringLiteral("Humidity");
inline const QString kFunctionTemp = QStringLiteral("Temp");
inline const QString kFunctionLight = QStringLiteral("Light");
inline const QString kUnitDecibel = QStringLiteral("dB");
inline const QString kUnitRelativeHumidity = QStringLiteral("%RH");
inline const QString kUnitCelsius = QStringLiteral("C");
inline const QString kUnitFahrenheit = QStringLiteral("F");
inline const QString kUnitLux = QStringLiteral("LUX");

/// The data of an overloaded reading: "O.L" (sound outside 35..130 dB, light in its 40 range),
/// "OL" (light in its 4000 and 40000 ranges) and "OL." (light in its 400 range).
inline const QString kOverloadText = QStringLiteral("O.L");
inline const QString kLightOverloadText = QStringLiteral("OL");
inline const QString kLightOverloadPointText = QStringLiteral("OL.");

/// Whether a record's data is one of the overload texts.
inline bool isOverloadText(QStringView data) {
    return data == kOverloadText || data == kLightOverloadText || data == kLightOverloadPointText;
}

/// A temperature read in `from` in `to`, C or F; any other unit leaves it as it is.
inline double temperatureIn(double value, const QString &from, const QString &to) {
    const bool known = (from == kUnitCelsius || from == kUnitFahrenheit) &&
                       (to == kUnitCelsius || to == kUnitFahrenheit);
    if (!known || from == to)
        return value;
    return to == kUnitFahrenheit ? value * 9 / 5 + 32 : (value - 32) * 5 / 9;
}

} // namespace core
