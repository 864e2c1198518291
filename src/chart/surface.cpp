#include "chart/surface.h"

#include <algorithm>

namespace chart {

void Surface::setBackColour(core::Rgb colour) {
    m_backColour = colour;
    clear(colour);
}

void Surface::line(double x1, double y1, double x2, double y2) {
    drawLine(x1, y1, x2, y2, {m_foreColour, m_drawWidth});
}

void Surface::box(double x1, double y1, double x2, double y2) {
    drawBox(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), m_foreColour);
}

void Surface::print(const QString &text) {
    drawText(m_currentX, m_currentY, m_fontSize, text, m_foreColour);
}

double Surface::scaleWidth() const {
    return std::max(0.0, m_geometry.width - 2 * m_geometry.borderPixels * kTwipsPerPixel);
}

double Surface::scaleHeight() const {
    return std::max(0.0, m_geometry.height - 2 * m_geometry.borderPixels * kTwipsPerPixel);
}

void Surface::requestRepaint() const {
    if (m_repaint)
        m_repaint();
}

} // namespace chart
