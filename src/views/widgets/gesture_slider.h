#pragma once

#include <QSlider>

namespace views {

/// A slider that tells when a gesture over it ends: a key or mouse button released over it.
class GestureSlider : public QSlider {
    Q_OBJECT
  public:
    using QSlider::QSlider;

    /// Whether a key or mouse button pressed over the slider is still held: a change of
    /// position made now ends with its release.
    bool held() const { return m_keyHeld || m_mouseHeld; }

  signals:
    void released();

  protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

  private:
    bool m_keyHeld = false;
    bool m_mouseHeld = false;
};

} // namespace views
