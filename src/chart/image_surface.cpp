#include "chart/image_surface.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace chart {

namespace {

QColor toColor(core::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// Painting is in logical pixels; the image's device pixel ratio scales it to the screen.
constexpr double toPixels(double twips) { return twips / kTwipsPerPixel; }

/// A position in twips on the nearest whole pixel, which is whole device pixels too.
double onWholePixel(double twips) { return std::round(toPixels(twips)); }

// The chart's texts use the boxes' default face; points map to pixels at 96 dpi as the
// twips do.
constexpr int kDotsPerMeterAt96Dpi = 3780;

} // namespace

ImageSurface::ImageSurface(BoxGeometry geometry, qreal devicePixelRatio) : Surface(geometry) {
    allocate(devicePixelRatio);
}

void ImageSurface::setDevicePixelRatio(qreal ratio) {
    if (ratio == m_image.devicePixelRatio())
        return;
    allocate(ratio);
    requestRepaint();
}

const QImage &ImageSurface::image() const {
    finishPainting();
    return m_image;
}

QPainter &ImageSurface::painter() {
    // Lines, boxes and texts are erased by drawing them again in the background colour: only
    // what is drawn without antialiasing, on whole pixels, covers every pixel of itself the
    // second time.
    if (!m_painter.isActive()) {
        m_painter.begin(&m_image);
        m_painter.setRenderHint(QPainter::Antialiasing, false);
    }
    return m_painter;
}

void ImageSurface::finishPainting() const {
    if (m_painter.isActive())
        m_painter.end();
}

void ImageSurface::allocate(qreal ratio) {
    finishPainting();
    m_lastLine.reset();
    const QSize logical(int(std::lround(toPixels(scaleWidth()))),
                        int(std::lround(toPixels(scaleHeight()))));
    m_image = QImage(logical * ratio, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    m_image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    m_image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    m_image.fill(toColor(backColour()));
}

void ImageSurface::changed(const QRectF &area) const {
    if (m_changed)
        m_changed(area.toAlignedRect() & QRect(QPoint(), m_image.deviceIndependentSize().toSize()));
}

void ImageSurface::clear(core::Rgb colour) {
    finishPainting();
    m_lastLine.reset();
    m_image.fill(toColor(colour));
    changed(QRectF(QPointF(), m_image.deviceIndependentSize()));
}

void ImageSurface::drawLine(double x1, double y1, double x2, double y2, Pen pen) {
    QPainter &painter = this->painter();
    // A line of odd width runs through the middle of its pixels, so exactly they are inside it.
    const double shift = pen.widthPixels % 2 ? 0.5 : 0;
    const auto place = [shift](double twips) { return onWholePixel(twips) + shift; };
    const QPointF from(place(x1), place(y1));
    const QPointF to(place(x2), place(y2));
    // Twips are finer than pixels: a procedure that draws a line a twip (such as the level bar,
    // row by row) draws the same pixels fifteen times over, and again changes nothing.
    const LastLine line{from, to, pen.colour, pen.widthPixels};
    if (m_lastLine == line)
        return;
    m_lastLine = line;
    if (painter.pen().color() != toColor(pen.colour) || painter.pen().width() != pen.widthPixels)
        painter.setPen(QPen(toColor(pen.colour), pen.widthPixels, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(from, to);
    const double reach = pen.widthPixels; // the square caps reach past both ends
    changed(QRectF(from, to).normalized().adjusted(-reach, -reach, reach, reach));
}

void ImageSurface::drawBox(double x1, double y1, double x2, double y2, core::Rgb colour) {
    QPainter &painter = this->painter();
    m_lastLine.reset();
    const QRectF box = QRectF(QPointF(onWholePixel(x1), onWholePixel(y1)),
                              QPointF(onWholePixel(x2), onWholePixel(y2)))
                           .normalized();
    painter.fillRect(box, toColor(colour));
    changed(box.adjusted(-1, -1, 1, 1));
}

void ImageSurface::drawText(double x, double y, double points, const QString &text,
                            core::Rgb colour) {
    QPainter &painter = this->painter();
    m_lastLine.reset();
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(toColor(colour));
    QRectF drawn;
    painter.drawText(QRectF(toPixels(x), toPixels(y), m_image.width(), m_image.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text, &drawn);
    changed(drawn.adjusted(-1, -1, 1, 1));
}

} // namespace chart
