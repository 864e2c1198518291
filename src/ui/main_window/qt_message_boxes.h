#pragma once

#include "core/message_boxes.h"

class QWidget;

namespace ui {

/// Message boxes on the screen, modal: a message with an OK button under the program's title
/// "5710", a question with Yes and No under its own.
class QtMessageBoxes final : public core::MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget *parent) : m_parent(parent) {}
    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text, const QString &title) override;

  private:
    QWidget *m_parent;
};

} // namespace ui
