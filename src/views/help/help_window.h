#pragma once

#include <QDialog>

namespace views {

/// The help window: the help document, read afresh each time the window is made, under a
/// button that closes it.
class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    explicit HelpWindow(const QString &helpFile, QWidget *parent = nullptr);
};

} // namespace views
