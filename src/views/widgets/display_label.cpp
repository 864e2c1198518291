#include "views/widgets/display_label.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace views {

DisplayLabel::DisplayLabel(QWidget *parent) : QLabel(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DisplayLabel::changeEvent(QEvent *event) {
    QLabel::changeEvent(event);
    // Letters rendered in another font or colour are of no more use.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::StyleChange)
        m_letters.clear();
}

const QImage &DisplayLabel::letter(QChar c) {
    const auto found = m_letters.constFind(c);
    if (found != m_letters.constEnd())
        return *found;
    const QFontMetricsF metrics(font());
    // Room around the advance for letters that reach beyond it.
    const qreal margin = metrics.height() / 4;
    const qreal ratio = devicePixelRatioF();
    QImage image(QSizeF(metrics.horizontalAdvance(c) + 2 * margin, metrics.height()).toSize() *
                     ratio,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(QPointF(margin, metrics.ascent()), QString(c));
    return *m_letters.insert(c, image);
}

void DisplayLabel::paintEvent(QPaintEvent *event) {
    // The background and frame as a label draws them, then the text letter by letter.
    {
        QPainter background(this);
        QStyleOption option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_Widget, &option, &background, this);
    }
    QFrame::paintEvent(event);
    const QString shown = text();
    if (shown.isEmpty())
        return;
    if (!m_letters.isEmpty() && m_letters.begin()->devicePixelRatio() != devicePixelRatioF())
        m_letters.clear(); // moved to a screen of another density
    const QFontMetricsF metrics(font());
    const QRectF area = contentsRect();
    const qreal width = metrics.horizontalAdvance(shown);
    qreal x = area.left();
    if (alignment() & Qt::AlignHCenter)
        x += (area.width() - width) / 2;
    else if (alignment() & Qt::AlignRight)
        x += area.width() - width;
    const qreal top = area.top() + (area.height() - metrics.height()) / 2;
    const qreal margin = metrics.height() / 4;
    QPainter painter(this);
    for (qsizetype i = 0; i < shown.size(); ++i)
        painter.drawImage(QPointF(x + metrics.horizontalAdvance(shown.left(i)) - margin, top),
                          letter(shown[i]));
}

} // namespace views
