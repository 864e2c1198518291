#pragma once

#include "statistics/figures.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace stats {

/// What the sound figures rest on, said wherever they are shown.
inline const QString kSoundWeightingNote = QStringLiteral(
    "Frequency and time weighting are whatever the meter was set to (it does not send them); "
    "the doses assume A-weighting.");

/// One figure of a group as the tables show it: a count or a time as text, or a number with its
/// unit.
struct FigureRow {
    QString name;
    QString text;                ///< where there is no number
    std::optional<double> value; ///< unset with an empty text: nothing to go by
    QString unit;
    /// The value with two decimals and its unit, or the text; "none" for nothing.
    QString shown() const;
};

/// The group's name as its table is headed: "Sound dB".
QString groupTitle(const GroupFigures &group);
/// The figures of a group, in the order the tables list them.
std::vector<FigureRow> figureRows(const GroupFigures &group);

/// What is to be said of the span beside its tables: that it holds no readings, how many
/// records were left out.
QStringList spanRemarks(const SpanFigures &figures);

/// The figures as text lines for a terminal or the clipboard: a title, then for each group its
/// title and a line a figure, `separator` between name and value.
QStringList statisticsLines(const QString &title, const SpanFigures &figures,
                            const QString &separator);
/// The figures as the window saves them in CSV (RFC 4180, CRLF): group, figure, value, unit, a
/// line a figure as the tables list them; values unrounded.
QByteArray figureRowsCsv(const SpanFigures &figures);
/// Every key a group's figures may have, in the order JSON and CSV give them.
inline const QStringList kGroupKeys =
    QStringLiteral("function unit readings overloads overload_seconds first last seconds min max "
                   "mean leq l10 l50 l90 lex8h dose_niosh dose_osha projected_dose_niosh "
                   "projected_dose_osha mkt lux_hours hi above_hi_seconds events_above_hi low "
                   "below_low_seconds events_below_low lday levening lnight lden")
        .split(u' ');

/// A group's figures by the names scripts know them by (kGroupKeys), unrounded: those of
/// an interval leave out what is normalised to 8 hours and add a day's Lday, Levening, Lnight
/// and Lden.
std::vector<std::pair<QString, QJsonValue>> groupValues(const GroupFigures &group, bool interval);
/// The groups as a JSON array of objects of their values.
QJsonArray groupsJson(const std::vector<GroupFigures> &groups, bool interval);

} // namespace stats
