#pragma once

#include <QDialog>

namespace views {

/// The help window: the help document, read afresh each time the window is made, under a
/// button that closes it.
class Form4 : public QDialog {
    Q_OBJECT
  public:
    explicit Form4(const QString &helpFile, QWidget *parent = nullptr);
};

} // namespace views
