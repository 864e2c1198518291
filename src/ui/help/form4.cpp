#include "ui/help/form4.h"

#include "ui/help/rtf_reader.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QTextBrowser>

namespace help {

namespace {

constexpr int kTwipsPerPixel = 15;

QRect pixels(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

// An open book with a cross: the button closes the help.
QIcon closeIcon(qreal ratio) {
    QPixmap pixmap(QSize(32, 32) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    QLinearGradient cover(0, 4, 0, 28);
    cover.setColorAt(0, QColor(90, 150, 230));
    cover.setColorAt(1, QColor(35, 85, 170));
    p.setBrush(cover);
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 3, 3);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
    return QIcon(pixmap);
}

} // namespace

Form4::Form4(const QString &programDirectory, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("5710"));
    setFixedSize(pixels(0, 0, 9765, 6510).size());

    auto *close = new QPushButton(this);
    close->setObjectName(QStringLiteral("Command1"));
    close->setAccessibleName(QStringLiteral("Close help"));
    close->setIcon(closeIcon(devicePixelRatioF()));
    close->setIconSize(QSize(32, 32));
    close->setGeometry(pixels(0, 0, 1215, 615));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *view = new QTextBrowser(this);
    view->setObjectName(QStringLiteral("RichTextBox1"));
    view->setAccessibleName(QStringLiteral("Help text"));
    view->setGeometry(pixels(0, 600, 9735, 5895));
    view->setFont(QFont(QStringLiteral("Arial"), 10));

    const QString path = QDir(programDirectory).filePath(QString::fromLatin1(kHelpFile));
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        readRtf(file.readAll(), *view->document());
        view->moveCursor(QTextCursor::Start);
    } else
        view->setPlainText(QStringLiteral("The help file %1 could not be read: %2.")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
}

} // namespace help
