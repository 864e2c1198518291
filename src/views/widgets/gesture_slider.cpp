#include "views/widgets/gesture_slider.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace views {

void GestureSlider::keyPressEvent(QKeyEvent *event) {
    m_keyHeld = true;
    QSlider::keyPressEvent(event);
}

void GestureSlider::keyReleaseEvent(QKeyEvent *event) {
    QSlider::keyReleaseEvent(event);
    // A key held down repeats its press; only letting it go ends the gesture.
    if (event->isAutoRepeat())
        return;
    m_keyHeld = false;
    emit released();
}

void GestureSlider::mousePressEvent(QMouseEvent *event) {
    m_mouseHeld = true;
    QSlider::mousePressEvent(event);
}

void GestureSlider::mouseReleaseEvent(QMouseEvent *event) {
    QSlider::mouseReleaseEvent(event);
    m_mouseHeld = event->buttons() != Qt::NoButton;
    emit released();
}

void GestureSlider::focusOutEvent(QFocusEvent *event) {
    // A key let go elsewhere is never seen here.
    m_keyHeld = false;
    QSlider::focusOutEvent(event);
}

} // namespace views
