#include "chart/gauges.h"

#include "chart/surface.h"
#include "core/colour_table.h"
#include "core/rounding.h"

namespace chart {

namespace {

constexpr core::Rgb kBaseCell{11, 247, 247};
constexpr core::Rgb kLitCell{0, 255, 0};
constexpr int kWedgeRows = 10;

void cell(Surface &wedge, int row, int column) {
    wedge.box(3340 - 320 * column, 50 + 120 * row, 3600 - 320 * column, 110 + 120 * row);
}

} // namespace

void drawLevelBar(Surface &bar, qint16 fromPct, qint16 toPct) {
    const int width = core::roundHalfEvenToInt(bar.scaleWidth());
    const int height = core::roundHalfEvenToInt(bar.scaleHeight());
    const qint16 difference = qint16(toPct - fromPct);
    const qint32 product = qint32(difference) * width;
    const int length = core::roundHalfEvenToInt(product / 100.0);
    const double x1 = double(fromPct) * width / 100;
    const double x2 = x1 + length;
    for (int y = 0; y <= height; ++y)
        bar.line(x1, y, x2, y);
}

void paintWedgeCells(Surface &wedge, qint16 pct) {
    if (pct == 0) {
        wedge.setForeColour(kBaseCell);
        for (int row = 0; row < kWedgeRows; ++row)
            for (int column = 0; column <= row; ++column)
                cell(wedge, row, column);
        return;
    }
    const int rows = core::roundHalfEvenToInt(pct / 10.0);
    wedge.setForeColour(kLitCell);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column <= row; ++column)
            cell(wedge, row, column);
}

} // namespace chart
