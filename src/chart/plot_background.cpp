#include "chart/plot_background.h"

#include "chart/surface.h"
#include "core/colour_table.h"
#include "core/rounding.h"

namespace chart {

namespace {

constexpr core::Rgb kGridGrey{128, 128, 128};
constexpr core::Rgb kGridTeal{0, 128, 128};
constexpr core::Rgb kAxisBlack{0, 0, 0};
constexpr int kDash = 60;
constexpr int kHorizontalLines = 7;
constexpr int kVerticalLines = 14;

double horizontalLineY(int k) { return 350 + 345 * (k - 1); }
double verticalLineX(int k) { return 400 * k; }

bool ticked(int checkValue) { return checkValue == 1; }

} // namespace

void applyChartBackground(Surface &plot, const ChartSettings &settings) {
    if (const auto colour = core::colourByName(settings.background))
        plot.setBackColour(*colour);
    const bool x = ticked(settings.xGrid);
    const bool y = ticked(settings.yGrid);
    if (x || y)
        drawGrid(plot, x && y ? kBothGrids : (x ? kHorizontalGrid : kVerticalGrid),
                 settings.background);
}

void drawGrid(Surface &plot, qint16 mode, QStringView background) {
    const bool tealGrid = background == u"Cray" || background == u"Olive" || background == u"Teal";
    plot.setForeColour(tealGrid ? kGridTeal : kGridGrey);
    plot.setDrawWidth(1);
    bool dash = true;
    const int wi = core::roundHalfEvenToInt(plot.width());
    if (mode == kWipeGrid) {
        plot.setForeColour(plot.backColour());
        for (int k = 1; k <= kHorizontalLines; ++k)
            plot.line(0, horizontalLineY(k), wi, horizontalLineY(k));
        const int hi = core::roundHalfEvenToInt(plot.height());
        for (int k = 1; k <= kVerticalLines; ++k)
            plot.line(verticalLineX(k), 0, verticalLineX(k), hi);
    } else {
        if (mode == kHorizontalGrid || mode == kBothGrids) {
            for (int k = 1; k <= kHorizontalLines; ++k) {
                for (int x = 0; x <= wi; x += kDash) {
                    if (dash)
                        plot.line(x, horizontalLineY(k), x + kDash, horizontalLineY(k));
                    dash = !dash;
                }
            }
        }
        const int hi = core::roundHalfEvenToInt(plot.height());
        if (mode == kVerticalGrid || mode == kBothGrids) {
            // The dash phase carries on from the horizontal lines.
            for (int k = 1; k <= kVerticalLines; ++k) {
                for (int y = 0; y <= hi; y += kDash) {
                    if (dash)
                        plot.line(verticalLineX(k), y, verticalLineX(k), y + kDash);
                    dash = !dash;
                }
            }
        }
    }
    plot.setForeColour(kAxisBlack);
    plot.setDrawWidth(4);
    plot.line(0, 0, 0, plot.height());
    plot.setDrawWidth(5);
    plot.line(0, plot.height(), plot.width(), plot.height());
}

} // namespace chart
