#include "views/widgets/frame_pacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace views {

FramePacer::FramePacer(QWidget *window) : QObject(window), m_window(window) {
    m_nextFrame.setSingleShot(true);
    m_nextFrame.setTimerType(Qt::PreciseTimer);
    connect(&m_nextFrame, &QTimer::timeout, this, &FramePacer::paintNow);
    window->installEventFilter(this);
}

bool FramePacer::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_window || event->type() != QEvent::UpdateRequest || m_painting)
        return false;
    const bool frameOver = !m_sincePainted.isValid() || m_sincePainted.elapsed() >= kFrameMs;
    if (frameOver) {
        m_sincePainted.start();
        return false;
    }
    // Held back: the window keeps what it has to paint and paints it all with the next frame.
    if (!m_nextFrame.isActive())
        m_nextFrame.start(int(kFrameMs - m_sincePainted.elapsed()));
    return true;
}

void FramePacer::paintNow() {
    m_sincePainted.start();
    m_painting = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(m_window, &request);
    m_painting = false;
}

} // namespace views
