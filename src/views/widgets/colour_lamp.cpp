#include "views/widgets/colour_lamp.h"

#include <QPainter>

namespace views {

void ColourLamp::setColour(const QColor &colour) {
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

void ColourLamp::paintEvent(QPaintEvent *) { QPainter(this).fillRect(rect(), m_colour); }

} // namespace views
