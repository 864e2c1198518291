#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

namespace views {

/// Shows a window at most once a display frame. What the program draws goes into the window at
/// once, reading by reading; only the painting of the screen waits for the next frame when the
/// last one was painted less than a frame ago. At the meter's pace nothing waits; a faster line
/// no longer pays a repaint for every reading that the screen could not show anyway.
class FramePacer : public QObject {
    Q_OBJECT
  public:
    static constexpr int kFrameMs = 16;

    explicit FramePacer(QWidget *window);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void paintNow();

    QWidget *m_window;
    QElapsedTimer m_sincePainted;
    QTimer m_nextFrame;
    bool m_painting = false;
};

} // namespace views
