#include "views/main_window/artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace views {

namespace {

QPixmap canvas(int width, int height, qreal ratio) {
    QPixmap pixmap(QSize(width, height) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void begin(QPainter &painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

QLinearGradient vertical(QColor top, QColor bottom, qreal y0, qreal y1) {
    QLinearGradient gradient(0, y0, 0, y1);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

void drawExit(QPainter &p) {
    p.setBrush(vertical(QColor(205, 150, 95), QColor(140, 90, 45), 3, 29));
    p.drawRect(QRectF(5, 3, 15, 26));
    p.setBrush(QColor(250, 220, 90));
    p.drawEllipse(QPointF(16.5, 16.5), 1.3, 1.3);
    p.setPen(QPen(QColor(200, 30, 30), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(17, 16), QPointF(28, 16));
    p.drawPolyline(QPolygonF({QPointF(23.5, 11), QPointF(28.5, 16), QPointF(23.5, 21)}));
}

void drawCommPort(QPainter &p) {
    QPainterPath shell;
    shell.moveTo(3, 9);
    shell.lineTo(29, 9);
    shell.lineTo(26, 23);
    shell.lineTo(6, 23);
    shell.closeSubpath();
    p.setBrush(vertical(QColor(215, 220, 228), QColor(130, 140, 155), 9, 23));
    p.drawPath(shell);
    p.setBrush(QColor(235, 190, 60));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(8 + 4 * i, 13.5), 1.3, 1.3);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(10 + 4 * i, 18.5), 1.3, 1.3);
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(QColor(90, 95, 105));
    p.drawEllipse(QPointF(1.8, 16), 1.6, 1.6);
    p.drawEllipse(QPointF(30.2, 16), 1.6, 1.6);
}

void drawPrinter(QPainter &p) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(vertical(QColor(200, 205, 215), QColor(120, 125, 140), 11, 24));
    p.drawRoundedRect(QRectF(3, 11, 26, 13), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int y : {22, 25})
        p.drawLine(QPointF(11, y), QPointF(21, y));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 200, 80));
    p.drawEllipse(QPointF(25.5, 15), 1.4, 1.4);
}

void drawPlug(QPainter &p) {
    p.setPen(QPen(QColor(40, 40, 40), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 3), QPointF(11, 10));
    p.drawLine(QPointF(21, 3), QPointF(21, 10));
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(vertical(QColor(90, 160, 240), QColor(30, 80, 170), 9, 22));
    p.drawRoundedRect(QRectF(6, 9, 20, 12), 3, 3);
    p.setPen(QPen(QColor(30, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath cable;
    cable.moveTo(16, 21);
    cable.cubicTo(16, 27, 24, 24, 27, 29);
    p.drawPath(cable);
    QPolygonF bolt({QPointF(17, 11), QPointF(13, 16.5), QPointF(16, 16.5), QPointF(14.5, 20.5),
                    QPointF(19, 14.5), QPointF(16, 14.5)});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 60));
    p.drawPolygon(bolt);
}

void drawDisk(QPainter &p) {
    QPainterPath body;
    body.moveTo(4, 4);
    body.lineTo(24, 4);
    body.lineTo(28, 8);
    body.lineTo(28, 28);
    body.lineTo(4, 28);
    body.closeSubpath();
    p.setBrush(vertical(QColor(70, 110, 190), QColor(30, 55, 120), 4, 28));
    p.drawPath(body);
    p.setBrush(QColor(225, 230, 238));
    p.drawRect(QRectF(9, 4, 13, 8));
    p.setBrush(QColor(60, 70, 90));
    p.drawRect(QRectF(17, 5.5, 3, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(8, 16, 16, 12));
    p.setPen(QPen(QColor(150, 150, 160), 1));
    for (int y : {20, 23, 26})
        p.drawLine(QPointF(10, y), QPointF(22, y));
}

void drawClearScreen(QPainter &p) {
    p.setBrush(QColor(20, 20, 20));
    p.drawRect(QRectF(3, 4, 26, 20));
    p.setPen(QPen(QColor(80, 230, 120), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(5, 19), QPointF(9, 14), QPointF(12, 16), QPointF(15, 9)}));
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(vertical(QColor(250, 140, 160), QColor(210, 80, 110), 14, 28));
    QPolygonF eraser({QPointF(16, 20), QPointF(24, 12), QPointF(30, 18), QPointF(22, 26)});
    p.drawPolygon(eraser);
    p.setBrush(QColor(240, 240, 245));
    p.drawPolygon(QPolygonF({QPointF(16, 20), QPointF(19, 17), QPointF(25, 23), QPointF(22, 26)}));
}

void drawBin(QPainter &p) {
    p.setBrush(vertical(QColor(210, 214, 222), QColor(140, 146, 160), 8, 29));
    QPolygonF can({QPointF(7, 9), QPointF(25, 9), QPointF(23, 29), QPointF(9, 29)});
    p.drawPolygon(can);
    p.setBrush(QColor(120, 126, 140));
    p.drawRoundedRect(QRectF(5, 5, 22, 4), 1.5, 1.5);
    p.drawRect(QRectF(13, 2.5, 6, 2.5));
    p.setPen(QPen(QColor(80, 84, 96), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (qreal x : {12.5, 16.0, 19.5})
        p.drawLine(QPointF(x, 12), QPointF(x, 26));
}

} // namespace

QPixmap toolbarIcon(ToolbarIcon icon, qreal ratio) {
    QPixmap pixmap = canvas(32, 32, ratio);
    QPainter painter(&pixmap);
    begin(painter);
    switch (icon) {
    case ToolbarIcon::Exit:
        drawExit(painter);
        break;
    case ToolbarIcon::CommPort:
        drawCommPort(painter);
        break;
    case ToolbarIcon::PrintStep:
        drawPrinter(painter);
        break;
    case ToolbarIcon::OffLineOnLine:
        drawPlug(painter);
        break;
    case ToolbarIcon::DataSaveLoad:
        drawDisk(painter);
        break;
    case ToolbarIcon::ClearScreen:
        drawClearScreen(painter);
        break;
    case ToolbarIcon::ClearAll:
        drawBin(painter);
        break;
    }
    return pixmap;
}

QPixmap batteryPicture(bool low, qreal ratio) {
    QPixmap pixmap = canvas(32, 20, ratio);
    QPainter p(&pixmap);
    begin(p);
    p.setBrush(vertical(QColor(245, 245, 245), QColor(170, 170, 175), 3, 17));
    p.drawRoundedRect(QRectF(2, 3, 25, 14), 2, 2);
    p.setBrush(QColor(90, 90, 95));
    p.drawRect(QRectF(27, 7, 3, 6));
    p.setPen(Qt::NoPen);
    const QColor charge = low ? QColor(225, 40, 30) : QColor(40, 190, 60);
    p.setBrush(charge);
    const int cells = low ? 1 : 4;
    for (int i = 0; i < cells; ++i)
        p.drawRect(QRectF(4.5 + 5.5 * i, 5.5, 4.5, 9));
    return pixmap;
}

QPixmap alarmIcon(bool high, qreal ratio) {
    QPixmap pixmap = canvas(32, 32, ratio);
    QPainter p(&pixmap);
    begin(p);
    const QColor colour = high ? QColor(225, 35, 35) : QColor(30, 170, 60);
    QPainterPath bell;
    bell.moveTo(6, 22);
    bell.cubicTo(9, 19, 8, 8, 16, 7);
    bell.cubicTo(24, 8, 23, 19, 26, 22);
    bell.closeSubpath();
    p.setBrush(vertical(colour.lighter(150), colour, 7, 22));
    p.drawPath(bell);
    p.drawEllipse(QPointF(16, 24.5), 2.5, 2.5);
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal tip = high ? 10 : 19;
    const qreal tail = high ? 19 : 10;
    p.drawLine(QPointF(16, tail), QPointF(16, tip));
    p.drawPolyline(QPolygonF({QPointF(12.5, tip + (high ? 3.5 : -3.5)), QPointF(16, tip),
                              QPointF(19.5, tip + (high ? 3.5 : -3.5))}));
    return pixmap;
}

QPixmap colourSwatch(core::Rgb colour, qreal ratio) {
    QPixmap pixmap = canvas(28, 17, ratio);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(QColor(colour.red, colour.green, colour.blue));
    p.drawRect(QRectF(0.5, 0.5, 27, 16));
    return pixmap;
}

QPixmap helpCloseIcon(qreal ratio) {
    QPixmap pixmap = canvas(32, 32, ratio);
    QPainter p(&pixmap);
    begin(p);
    p.setBrush(vertical(QColor(90, 150, 230), QColor(35, 85, 170), 4, 28));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 3, 3);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
    return pixmap;
}

QPixmap meterPicture(qreal ratio) {
    QPixmap pixmap = canvas(120, 200, ratio);
    QPainter p(&pixmap);
    begin(p);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    QLinearGradient body(0, 0, 120, 0);
    body.setColorAt(0, QColor(250, 200, 60));
    body.setColorAt(1, QColor(210, 150, 20));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(10, 10, 100, 180), 18, 18);
    p.setBrush(QColor(180, 200, 170));
    p.drawRoundedRect(QRectF(22, 28, 76, 46), 4, 4);
    QFont digits(QStringLiteral("Liberation Mono"));
    digits.setPixelSize(22);
    digits.setBold(true);
    p.setFont(digits);
    p.setPen(QColor(30, 40, 30));
    p.drawText(QRectF(22, 28, 76, 46), Qt::AlignCenter, QStringLiteral("73.4"));
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            p.setBrush(row == 0 && column == 1 ? QColor(200, 40, 40) : QColor(70, 70, 80));
            p.drawEllipse(QPointF(35 + 25 * column, 100 + 22 * row), 8, 8);
        }
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(60, 172), 10, 10);
    return pixmap;
}

} // namespace views
