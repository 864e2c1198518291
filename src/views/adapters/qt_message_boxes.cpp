#include "views/adapters/qt_message_boxes.h"

#include <QMessageBox>
#include <QTimer>

namespace views {

void QtMessageBoxes::showMessage(const QString &text) {
    m_waiting.push_back(text);
    // Shown from the event loop, never from inside the caller, whose work goes on meanwhile.
    if (m_waiting.size() == 1 && !m_shown)
        QTimer::singleShot(0, this, &QtMessageBoxes::showNext);
}

void QtMessageBoxes::showNext() {
    if (m_shown || m_waiting.empty())
        return;
    auto *box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("5710"), m_waiting.front(),
                                QMessageBox::Ok, m_parent);
    m_waiting.pop_front();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    connect(box, &QDialog::finished, this, [this] {
        m_shown = nullptr;
        QTimer::singleShot(0, this, &QtMessageBoxes::showNext);
    });
    m_shown = box;
    box->show();
}

bool QtMessageBoxes::askYesNo(const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}

} // namespace views
