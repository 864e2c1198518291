#include "views/help/help_window.h"

#include "chart/surface.h"
#include "help/rtf_reader.h"
#include "views/main_window/artwork.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>

#include <optional>

namespace views {

namespace {

QRect pixels(int left, int top, int width, int height) {
    return {left / chart::kTwipsPerPixel, top / chart::kTwipsPerPixel,
            width / chart::kTwipsPerPixel, height / chart::kTwipsPerPixel};
}

/// No help document comes near this; a larger "file" is none the program should read.
constexpr qint64 kMaxHelpBytes = 64 << 20;

/// The help document's bytes, or why they cannot be read. Only a regular file is read: a FIFO
/// would wait for a writer for ever, and a device such as /dev/zero never ends.
std::optional<QByteArray> readHelpFile(const QString &path, QString &why) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        why = info.isDir() ? QStringLiteral("it is a folder, not a file")
                           : QStringLiteral("it is not a regular file");
        return std::nullopt;
    }
    if (info.size() > kMaxHelpBytes) {
        why = QStringLiteral("at %1 MB it is far larger than any help document")
                  .arg(info.size() >> 20);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return std::nullopt;
    }
    // Read no further than the limit, in case the file grows while it is read.
    return file.read(kMaxHelpBytes);
}

} // namespace

HelpWindow::HelpWindow(const QString &helpFile, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("5710"));
    setFixedSize(pixels(0, 0, 9765, 6510).size());

    auto *close = new QPushButton(this);
    close->setObjectName(QStringLiteral("Command1"));
    close->setAccessibleName(QStringLiteral("Close help"));
    close->setIcon(QIcon(helpCloseIcon(devicePixelRatioF())));
    close->setIconSize(QSize(32, 32));
    close->setGeometry(pixels(0, 0, 1215, 615));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *view = new QTextBrowser(this);
    view->setObjectName(QStringLiteral("RichTextBox1"));
    view->setAccessibleName(QStringLiteral("Help text"));
    view->setGeometry(pixels(0, 600, 9735, 5895));
    view->setFont(QFont(QStringLiteral("Arial"), 10));

    QString why;
    if (const std::optional<QByteArray> rtf = readHelpFile(helpFile, why)) {
        help::readRtf(*rtf, *view->document());
        view->moveCursor(QTextCursor::Start);
    } else
        view->setPlainText(QStringLiteral("The help file %1 could not be read: %2.")
                               .arg(QDir::toNativeSeparators(helpFile), why));
}

} // namespace views
