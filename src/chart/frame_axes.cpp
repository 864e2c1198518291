#include "chart/frame_axes.h"

#include "chart/surface.h"
#include "core/number_text.h"
#include "core/rounding.h"

namespace chart {

namespace {

constexpr core::Rgb kTickGrey{80, 80, 80};
constexpr double kLabelPoints = 10;

struct AxisOrigin {
    int yTop;
    int xOff;
};

AxisOrigin timeAxisOrigin(const Surface &plot) {
    return {core::roundHalfEvenToInt(plot.height() + 120),
            core::roundHalfEvenToInt(plot.left() + 240)};
}

} // namespace

PlacedLabel normaliseValueLabel(const QString &label) {
    QString s = label;
    const bool negative = s.startsWith(u'-');
    if (negative)
        s.remove(0, 1);
    if (s != u"0") {
        const qsizetype point = s.indexOf(u'.');
        QString whole = s;
        QString fraction;
        if (point >= 0) {
            whole = point == 0 ? QStringLiteral("0") : s.left(point);
            fraction = s.mid(point + 1);
        }
        if (whole.size() < 4) {
            s = whole + u'.' + fraction;
            if (s.size() < 5)
                s += QString(5 - s.size(), u'0');
        }
    }
    PlacedLabel placed{negative ? u'-' + s : s, 200};
    switch (placed.text.size()) {
    case 1:
        placed.x = 500;
        break;
    case 2:
        placed.x = 400;
        break;
    case 3:
        placed.x = 300;
        break;
    case 4:
        placed.x = 200;
        break;
    case 5:
        placed.x = 100;
        break;
    case 6:
        placed.x = 0;
        break;
    default:
        break;
    }
    return placed;
}

void drawValueLabels(Surface &frame, ValueLabels &labels, qint16 y0, qint16 dy, qint16 last,
                     bool visible) {
    frame.setDrawWidth(1);
    frame.setFontSize(kLabelPoints);
    frame.setForeColour(visible ? core::kBlack : kFrameBackground);
    for (int i = 0; i <= last && i < int(labels.size()); ++i) {
        const PlacedLabel placed = normaliseValueLabel(labels[i]);
        labels[i] = placed.text;
        frame.setCurrentX(placed.x);
        frame.setCurrentY(y0 + i * dy);
        frame.print(placed.text);
    }
}

void drawValueTicks(Surface &frame, qint16 step, qint16 x1, qint16 y0, qint16 x2, qint16 last) {
    frame.setForeColour(kTickGrey);
    for (int i = 0; i <= last; ++i)
        frame.line(x1, y0 + i * step, x2, y0 + i * step);
}

void drawTimeTicks(Surface &frame, const Surface &plot) {
    frame.setDrawWidth(1);
    frame.setForeColour(kTickGrey);
    const AxisOrigin origin = timeAxisOrigin(plot);
    for (int i = 0; i <= 60; ++i) {
        const int length = i % 4 == 0 ? 100 : 40;
        const int x = origin.xOff - 233 + 100 * i;
        frame.line(x, origin.yTop, x, origin.yTop + length);
    }
}

void drawTimeLabels(Surface &frame, const Surface &plot, const TimeLabels &labels) {
    const AxisOrigin origin = timeAxisOrigin(plot);
    frame.setForeColour(core::kBlack);
    for (int i = 0; i < int(labels.size()); ++i) {
        const qsizetype length = labels[i].size();
        const int dx = length == 1 ? 40 : (length == 3 ? -40 : 0);
        frame.setCurrentX(origin.xOff - 320 + 400 * i + dx);
        frame.setCurrentY(origin.yTop + 100);
        frame.print(labels[i]);
    }
}

void rescaleValueAxis(Surface &frame, ValueLabels &labels, QStringView vertMax,
                      QStringView vertMin) {
    drawValueLabels(frame, labels, 50, 345, 8, false);
    const QString topText = core::trimBlanks(vertMax);
    const QString bottomText = core::trimBlanks(vertMin);
    const float top = float(core::leadingNumber(topText));
    const float bottom = float(core::leadingNumber(bottomText));
    const float step = (top - bottom) / 8.0f;
    labels[0] = topText;
    for (int k = 1; k <= 7; ++k)
        labels[k] = core::singleText(top - float(k) * step);
    labels[8] = bottomText;
    drawValueLabels(frame, labels, 50, 345, 8, true);
}

void repaintChartFrame(Surface &frame, const Surface &plot, ValueLabels &valueLabels,
                       const TimeLabels &timeLabels) {
    drawValueTicks(frame, 345, 750, 127, 840, 8);
    drawValueLabels(frame, valueLabels, 50, 345, 8, true);
    drawTimeTicks(frame, plot);
    drawTimeLabels(frame, plot, timeLabels);
}

} // namespace chart
