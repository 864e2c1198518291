#include "recording_surface.h"

#include <algorithm>

namespace chart {

using Kind = Primitive::Kind;

QList<Primitive> RecordingSurface::primitives(Kind kind) const {
    QList<Primitive> found;
    std::copy_if(m_primitives.begin(), m_primitives.end(), std::back_inserter(found),
                 [kind](const Primitive &p) { return p.kind == kind; });
    return found;
}

void RecordingSurface::clear(core::Rgb colour) {
    m_primitives.append({Kind::Clear, colour, 0, 0, 0, 0, 0, 0, {}});
}

void RecordingSurface::drawLine(double x1, double y1, double x2, double y2, Pen pen) {
    m_primitives.append({Kind::Line, pen.colour, pen.widthPixels, x1, y1, x2, y2, 0, {}});
}

void RecordingSurface::drawBox(double x1, double y1, double x2, double y2, core::Rgb colour) {
    m_primitives.append({Kind::Box, colour, 0, x1, y1, x2, y2, 0, {}});
}

void RecordingSurface::drawText(double x, double y, double points, const QString &text,
                                core::Rgb colour) {
    m_primitives.append({Kind::Text, colour, 0, x, y, 0, 0, points, text});
}

} // namespace chart
