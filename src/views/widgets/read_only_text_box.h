#pragma once

#include <QLabel>

namespace views {

/// A text box only the program writes ("OFFLine", the port, the clock): a label, which needs
/// none of an editor's inner margins, that takes the keyboard focus as a text box does and
/// shows it with the style's focus frame inside its edge.
class ReadOnlyTextBox : public QLabel {
    Q_OBJECT
  public:
    explicit ReadOnlyTextBox(QWidget *parent = nullptr);

  protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace views
