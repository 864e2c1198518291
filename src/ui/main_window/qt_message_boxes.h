#pragma once

#include "core/message_boxes.h"

class QWidget;

namespace ui {

/// Message boxes on the screen: modal, an OK button, the program's title "5710".
class QtMessageBoxes final : public core::MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget *parent) : m_parent(parent) {}
    void showMessage(const QString &text) override;

  private:
    QWidget *m_parent;
};

} // namespace ui
