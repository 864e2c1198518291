#pragma once

// Compares a rendered image with a reference image kept in the repository, allowing for the
// small differences of font rasterisation. With ENVMETER_UPDATE_REFERENCE set, the rendered
// image becomes the new reference (after a deliberate change of the look: look at it first).

#include <QImage>
#include <QString>
#include <QTest>

inline bool matchesReference(const QImage &rendered, const QString &referencePath) {
    const QImage shot = rendered.convertToFormat(QImage::Format_RGB32);
    if (qEnvironmentVariableIsSet("ENVMETER_UPDATE_REFERENCE"))
        shot.save(referencePath);
    const QImage expected = QImage(referencePath).convertToFormat(QImage::Format_RGB32);
    if (shot.size() != expected.size()) {
        qWarning() << "size" << shot.size() << "differs from the reference" << expected.size();
        return false;
    }
    qsizetype differing = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb a = shot.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            differing += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                             std::abs(qBlue(a) - qBlue(b)) >
                         48;
        }
    if (differing > qsizetype(shot.width()) * shot.height() / 200) {
        qWarning() << differing << "pixels differ from" << referencePath;
        shot.save(referencePath + QStringLiteral(".actual.png"));
        return false;
    }
    return true;
}
