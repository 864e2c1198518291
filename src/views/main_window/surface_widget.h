#pragma once

#include "chart/image_surface.h"

#include <QWidget>

namespace views {

/// Shows a picture box's retained image, inside a sunken border when it has one. The first
/// showing and every rebuild of the image (a screen of another pixel density) ask the
/// surface's owner to draw it again.
class SurfaceWidget : public QWidget {
    Q_OBJECT
  public:
    SurfaceWidget(const chart::BoxGeometry &geometry, QWidget *parent);
    chart::ImageSurface &surface() { return m_surface; }

  protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    void showChanges();

    chart::ImageSurface m_surface;
    QRect m_changed; ///< what the surface changed since the screen was last asked to show it
    int m_border;
    bool m_shown = false;
};

} // namespace views
