#pragma once

#include <QDialog>

namespace ui {

class WindowModel;

/// The splash window: a picture of the meter and the program's identification. Nothing in the
/// program opens it; when it is open, the end of the clock's start-up sequence closes it.
class Form3 : public QDialog {
    Q_OBJECT
  public:
    explicit Form3(WindowModel &model, QWidget *parent = nullptr);

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    WindowModel &m_model;
};

} // namespace ui
