#pragma once

#include <QDialog>

namespace help {

/// The help window: the help document beside the program, read afresh each time the window
/// is made, under a button that closes it.
class Form4 : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char *kHelpFile = "5710.rtf";

    explicit Form4(const QString &programDirectory, QWidget *parent = nullptr);
};

} // namespace help
