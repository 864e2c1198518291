#pragma once

#include "core/colour_table.h"

#include <QString>
#include <QStringView>

#include <array>

namespace chart {

class Surface;

using ValueLabels = std::array<QString, 9>;
using TimeLabels = std::array<QString, 16>;

/// The frame's background: the value labels are erased by printing them again in this grey,
/// so the frame must be exactly this colour for erasing to erase.
inline constexpr core::Rgb kFrameBackground{192, 192, 192};

struct PlacedLabel {
    QString text;
    int x = 0; ///< twips, right-aligning labels of one to six characters
};

/// A value label in the frame's fixed-width decimal form, and where it starts.
PlacedLabel normaliseValueLabel(const QString &label);

/// Prints labels 0..last at y0 + i * dy, normalising each entry as it goes; black when
/// visible, otherwise in the frame's grey, which erases them.
void drawValueLabels(Surface &frame, ValueLabels &labels, qint16 y0, qint16 dy, qint16 last,
                     bool visible);
void drawValueTicks(Surface &frame, qint16 step, qint16 x1, qint16 y0, qint16 x2, qint16 last);
/// The 61 ticks of the time axis under the plot box.
void drawTimeTicks(Surface &frame, const Surface &plot);
void drawTimeLabels(Surface &frame, const Surface &plot, const TimeLabels &labels);
/// Erases the value labels, recomputes them from Vert Max and Vert Min, prints them.
void rescaleValueAxis(Surface &frame, ValueLabels &labels, QStringView vertMax,
                      QStringView vertMin);
/// Everything the frame shows, drawn again.
void repaintChartFrame(Surface &frame, const Surface &plot, ValueLabels &valueLabels,
                       const TimeLabels &timeLabels);

} // namespace chart
