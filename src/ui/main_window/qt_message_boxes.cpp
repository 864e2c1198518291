#include "ui/main_window/qt_message_boxes.h"

#include <QMessageBox>

namespace ui {

void QtMessageBoxes::showMessage(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("5710"), text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtMessageBoxes::askYesNo(const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}

} // namespace ui
