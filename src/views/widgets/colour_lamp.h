#pragma once

#include <QColor>
#include <QLabel>

namespace views {

/// A box showing one colour, as the receive lamp does, read by assistive technology as a
/// label. A new colour repaints the box and nothing else: a style sheet would restyle the
/// widget with every reading.
class ColourLamp : public QLabel {
    Q_OBJECT
  public:
    /// Covers all of its area: nothing beneath it is painted again with it.
    explicit ColourLamp(QWidget *parent = nullptr) : QLabel(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void setColour(const QColor &colour);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QColor m_colour;
};

} // namespace views
