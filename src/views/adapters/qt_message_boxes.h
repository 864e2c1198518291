#pragma once

#include "core/message_boxes.h"

#include <QObject>
#include <QPointer>

#include <deque>

class QMessageBox;
class QWidget;

namespace views {

/// Message boxes on the screen, modal for the whole program. A message (OK, under the
/// program's title "5710") does not hold its caller up: it shows once the caller has returned
/// to the event loop, and handlers, readings above all, go on running while it waits for OK;
/// several wait their turn and show one after another. A question (Yes and No, under a title of
/// its own) waits for its answer.
class QtMessageBoxes final : public QObject, public core::MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget *parent) : m_parent(parent) {}
    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text, const QString &title) override;

  private:
    void showNext();

    QWidget *m_parent;
    std::deque<QString> m_waiting;
    QPointer<QMessageBox> m_shown;
};

} // namespace views
