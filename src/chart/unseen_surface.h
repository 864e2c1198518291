#pragma once

#include "chart/surface.h"

namespace chart {

/// A picture box nobody sees, for a program without a window: it keeps the drawing state the
/// handlers read back and draws nothing.
class UnseenSurface final : public Surface {
  public:
    using Surface::Surface;

  protected:
    void clear(core::Rgb) override {}
    void drawLine(double, double, double, double, Pen) override {}
    void drawBox(double, double, double, double, core::Rgb) override {}
    void drawText(double, double, double, const QString &, core::Rgb) override {}
};

} // namespace chart
