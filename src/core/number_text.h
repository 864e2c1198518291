#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace core {

/// The numeric value of a text by the leading-number rule: blanks, tabs and line feeds anywhere
/// are ignored; then an optional sign, digits with at most one ".", and an optional exponent
/// ("e" or "E", optional sign, digits) are read up to the first other character. A text that
/// does not begin with a number gives 0. A magnitude beyond the double range gives +-infinity,
/// one below it gives 0.
double leadingNumber(QStringView text);

/// The text without the blanks (spaces) at either end, and only those, as the program trims
/// the texts typed into its boxes.
QString trimBlanks(QStringView text);

/// The value of a text that is a number as a whole: blanks around it are allowed, nothing else
/// (an optional sign, digits with at most one ".", an optional exponent with its digits). Any
/// other text, a number beyond the double range included, has none.
std::optional<double> strictNumber(QStringView text);

/// General number text of a single-precision value: shortest form with up to 7 significant
/// digits, "." as decimal point whatever the locale, a leading "-" when negative, no leading
/// blank, no trailing zeros (73.4f gives "73.4", 130.0f gives "130"). Negative zero gives "0".
/// Magnitudes of 1E+07 and above, or below 1E-04, are written with an exponent:
/// "1.234568E+07", "1E-05" (mantissa as above, "E", sign, at least two digits).
/// Infinities and NaN give "inf", "-inf" and "nan".
QString singleText(float value);
/// Stops a double from being formatted silently with single precision.
QString singleText(double) = delete;

/// General number text of a double: as singleText, with up to 15 significant digits and the
/// exponent form from 1E+15 up.
QString doubleText(double value);
/// Stops a float from being formatted with 15 digits of its binary value.
QString doubleText(float) = delete;

} // namespace core
