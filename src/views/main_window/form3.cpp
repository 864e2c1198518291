#include "views/main_window/form3.h"

#include "window/window_model.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace views {

namespace {

constexpr const char *kIdentification[] = {
    "Environment Meter Companion",
    "for the hand-held meter 5710",
    "Sound level   dB",
    "Relative humidity   %RH",
    "Temperature   C / F",
    "Illuminance   LUX",
    "Serial line   RS-232, 2400 baud, 8N1",
    "Ports   COM1, COM2",
    "Live display, alarms, trend chart",
    "Log of up to 100,000 readings",
    "History, save and load, report",
    "Version 0.1",
    "Made with Qt and SQLite",
    "Free software",
    "Starting ...",
};

QPixmap meterPicture(qreal ratio) {
    QPixmap pixmap(QSize(120, 200) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
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

} // namespace

Form3::Form3(window::WindowModel &model, QWidget *parent) : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("5710"));
    setFixedSize(460, 300);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setAccessibleName(QStringLiteral("The meter"));
    picture->setPixmap(meterPicture(devicePixelRatioF()));
    picture->setGeometry(16, 40, 120, 200);
    for (int i = 0; i < 2; ++i) {
        auto *line = new QFrame(this);
        line->setObjectName(QStringLiteral("Line%1").arg(i + 1));
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(150, i == 0 ? 58 : 250, 294, 4);
    }
    int y = 14;
    for (int i = 0; i < int(std::size(kIdentification)); ++i) {
        auto *label = new QLabel(QString::fromLatin1(kIdentification[i]), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(i == 0 ? 13 : 9);
        font.setBold(i < 2);
        label->setFont(font);
        label->setGeometry(150, y, 300, i == 0 ? 22 : 16);
        y += i == 0 ? 22 : (i == 1 ? 30 : 16);
    }
    connect(&model, &window::WindowModel::splashChanged, this, [this] {
        if (!m_model.splashOpen())
            close();
    });
}

void Form3::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    m_model.setSplashOpen(true);
}

} // namespace views
