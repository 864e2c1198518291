#include "views/main_window/surface_widget.h"

#include <QPainter>

namespace views {

SurfaceWidget::SurfaceWidget(const chart::BoxGeometry &geometry, QWidget *parent)
    : QWidget(parent), m_surface(geometry, parent ? parent->devicePixelRatioF() : 1),
      m_border(geometry.borderPixels) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A drawing procedure paints many primitives: the screen is asked once for all they touched.
    m_surface.setChangedHandler([this](const QRect &area) {
        if (m_changed.isEmpty())
            QMetaObject::invokeMethod(this, &SurfaceWidget::showChanges, Qt::QueuedConnection);
        m_changed |= area;
    });
}

void SurfaceWidget::showChanges() {
    update(m_changed.translated(m_border, m_border));
    m_changed = {};
}

void SurfaceWidget::paintEvent(QPaintEvent *) {
    // A move to a screen of another density rebuilds the image, and its owner draws it again.
    if (m_shown)
        m_surface.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(this);
    painter.drawImage(QPoint(m_border, m_border), m_surface.image());
    if (m_border > 0) {
        // The sunken 3D edge of a picture box: dark above and left, light below and right.
        const QRect r = rect();
        painter.setPen(QColor(128, 128, 128));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(QColor(255, 255, 255));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        if (m_border > 1) {
            painter.setPen(QColor(64, 64, 64));
            painter.drawLine(r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1));
            painter.drawLine(r.topLeft() + QPoint(1, 1), r.bottomLeft() + QPoint(1, -1));
            painter.setPen(QColor(212, 208, 200));
            painter.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1));
            painter.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() + QPoint(-1, -1));
        }
    }
}

void SurfaceWidget::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    m_surface.setDevicePixelRatio(devicePixelRatioF());
    m_surface.requestRepaint();
}

} // namespace views
