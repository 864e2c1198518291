#pragma once

#include <QDialog>

namespace window {
class WindowModel;
}

namespace views {

/// The splash window: a picture of the meter and the program's identification. Nothing in the
/// program opens it; when it is open, the end of the clock's start-up sequence closes it.
class SplashWindow : public QDialog {
    Q_OBJECT
  public:
    explicit SplashWindow(window::WindowModel &model, QWidget *parent = nullptr);

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    window::WindowModel &m_model;
};

} // namespace views
