#include "log/file_copy.h"

#include <QFile>
#include <QSaveFile>

namespace logbook {

QString copyFileOver(const QString &from, const QString &to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return source.errorString();
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return target.errorString();
    constexpr qint64 kChunk = 1 << 20;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kChunk);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return source.errorString();
        if (target.write(chunk) != chunk.size())
            return target.errorString();
    }
    if (!target.commit())
        return target.errorString();
    return {};
}

} // namespace logbook
