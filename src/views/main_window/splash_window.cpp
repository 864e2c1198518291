#include "views/main_window/splash_window.h"

#include "views/main_window/artwork.h"
#include "window/window_model.h"

#include <QFrame>
#include <QLabel>

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

} // namespace

SplashWindow::SplashWindow(window::WindowModel &model, QWidget *parent)
    : QDialog(parent), m_model(model) {
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

void SplashWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    m_model.setSplashOpen(true);
}

} // namespace views
