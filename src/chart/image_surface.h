#pragma once

#include "chart/surface.h"

#include <QImage>
#include <QPainter>

#include <optional>

namespace chart {

/// A surface that paints into a retained image of its inner area, at 15 twips a logical pixel
/// times the screen's device pixel ratio. What is drawn stays until it is drawn over, so
/// covering the window loses nothing.
class ImageSurface final : public Surface {
  public:
    explicit ImageSurface(BoxGeometry geometry, qreal devicePixelRatio = 1);

    /// The image with everything drawn so far.
    const QImage &image() const;
    /// Called after every change of the image with the part that changed (logical pixels), so
    /// that whoever shows it shows that part again.
    void setChangedHandler(std::function<void(const QRect &)> handler) {
        m_changed = std::move(handler);
    }
    /// Rebuilds the image for another pixel density (a move to another screen), cleared to the
    /// background colour, and asks for a repaint.
    void setDevicePixelRatio(qreal ratio);

  protected:
    void clear(core::Rgb colour) override;
    void drawLine(double x1, double y1, double x2, double y2, Pen pen) override;
    void drawBox(double x1, double y1, double x2, double y2, core::Rgb colour) override;
    void drawText(double x, double y, double points, const QString &text,
                  core::Rgb colour) override;

  private:
    void allocate(qreal ratio);
    void changed(const QRectF &area) const;
    /// One painter serves a run of primitives; it is finished when the image is looked at.
    QPainter &painter();
    void finishPainting() const;

    QImage m_image;
    mutable QPainter m_painter;
    /// The line drawn last, as long as nothing else was drawn since.
    struct LastLine {
        QPointF from;
        QPointF to;
        core::Rgb colour;
        int width = 0;
        friend bool operator==(const LastLine &, const LastLine &) = default;
    };
    std::optional<LastLine> m_lastLine;
    std::function<void(const QRect &)> m_changed;
};

} // namespace chart
