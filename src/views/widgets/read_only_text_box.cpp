#include "views/widgets/read_only_text_box.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace views {

ReadOnlyTextBox::ReadOnlyTextBox(QWidget *parent) : QLabel(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void ReadOnlyTextBox::paintEvent(QPaintEvent *event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(1, 1, -1, -1);
    focus.backgroundColor = palette().color(backgroundRole());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

} // namespace views
