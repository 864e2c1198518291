#include "chart/image_surface.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace chart {

namespace {

QColor toColor(core::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// Painting is in logical pixels; the image's device pixel ratio scales it to the screen.
constexpr double toPixels(double twips) { return twips / Surface::kTwipsPerPixel; }

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
    if (!m_painter.isActive())
        m_painter.begin(&m_image);
    return m_painter;
}

void ImageSurface::finishPainting() const {
    if (m_painter.isActive())
        m_painter.end();
}

void ImageSurface::allocate(qreal ratio) {
    finishPainting();
    const QSize logical(int(std::lround(toPixels(scaleWidth()))),
                        int(std::lround(toPixels(scaleHeight()))));
    m_image = QImage(logical * ratio, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    m_image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    m_image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    m_image.fill(toColor(backColour()));
}

void ImageSurface::changed() const {
    if (m_changed)
        m_changed();
}

void ImageSurface::clear(core::Rgb colour) {
    finishPainting();
    m_image.fill(toColor(colour));
    changed();
}

void ImageSurface::drawLine(double x1, double y1, double x2, double y2, Pen pen) {
    QPainter &painter = this->painter();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(toColor(pen.colour), pen.widthPixels, Qt::SolidLine, Qt::SquareCap));
    // A line of odd width is centred on a pixel's middle so that it stays sharp.
    const double shift = pen.widthPixels % 2 ? 0.5 : 0;
    painter.drawLine(QPointF(toPixels(x1) + shift, toPixels(y1) + shift),
                     QPointF(toPixels(x2) + shift, toPixels(y2) + shift));
    changed();
}

void ImageSurface::drawBox(double x1, double y1, double x2, double y2, core::Rgb colour) {
    QPainter &painter = this->painter();
    painter.fillRect(
        QRectF(QPointF(toPixels(x1), toPixels(y1)), QPointF(toPixels(x2), toPixels(y2))),
        toColor(colour));
    changed();
}

void ImageSurface::drawText(double x, double y, double points, const QString &text,
                            core::Rgb colour) {
    QPainter &painter = this->painter();
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    // Texts are erased by printing them again in the background colour: only a text drawn
    // without antialiasing covers every pixel of itself the second time.
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(toColor(colour));
    painter.drawText(QRectF(toPixels(x), toPixels(y), m_image.width(), m_image.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    changed();
}

} // namespace chart
