#pragma once

#include "chart/surface.h"

#include <QList>

namespace chart {

/// One drawing call as the recording surface kept it; coordinates in twips.
struct Primitive {
    enum class Kind { Clear, Line, Box, Text };
    Kind kind = Kind::Clear;
    core::Rgb colour;
    int widthPixels = 0; ///< lines only
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double fontSize = 0; ///< texts only
    QString text;
    friend bool operator==(const Primitive &, const Primitive &) = default;
};

/// A surface that keeps every primitive instead of drawing it, for tests.
class RecordingSurface final : public Surface {
  public:
    using Surface::Surface;
    const QList<Primitive> &primitives() const { return m_primitives; }
    /// Those of one kind, in order.
    QList<Primitive> primitives(Primitive::Kind kind) const;
    void forget() { m_primitives.clear(); }

  protected:
    void clear(core::Rgb colour) override;
    void drawLine(double x1, double y1, double x2, double y2, Pen pen) override;
    void drawBox(double x1, double y1, double x2, double y2, core::Rgb colour) override;
    void drawText(double x, double y, double points, const QString &text,
                  core::Rgb colour) override;

  private:
    QList<Primitive> m_primitives;
};

} // namespace chart
