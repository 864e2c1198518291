#include "publish/published_mark.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace publish {

namespace {

const QString kMarkFile = QStringLiteral("envmeter-published");
/// While records are acknowledged, the mark is written this often at most.
constexpr int kSaveIntervalMs = 1000;

} // namespace

PublishedMark::PublishedMark(const QString &logDirectory)
    : m_file(QDir(logDirectory).filePath(kMarkFile)) {
    m_sinceSaved.start();
}

std::optional<PublishedMark::Record> PublishedMark::read() const {
    QFile mark(m_file);
    if (!mark.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString text = QString::fromUtf8(mark.readAll());
    if (text.endsWith(u'\n'))
        text.chop(1);
    const QStringList fields = text.split(u'\t');
    bool number = false;
    const int no = fields.value(0).toInt(&number);
    if (!number || fields.size() != 2)
        return std::nullopt;
    return Record{no, fields[1]};
}

void PublishedMark::moveTo(const Record &record) {
    m_record = record;
    m_moved = true;
}

void PublishedMark::save(bool now) {
    if (!m_moved || (!now && m_sinceSaved.elapsed() < kSaveIntervalMs))
        return;
    QSaveFile mark(m_file);
    if (mark.open(QIODevice::WriteOnly)) {
        mark.write(QStringLiteral("%1\t%2\n").arg(m_record.no).arg(m_record.time).toUtf8());
        if (mark.commit())
            m_moved = false;
    }
    m_sinceSaved.restart();
}

} // namespace publish
