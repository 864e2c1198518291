#pragma once

#include <QElapsedTimer>
#include <QString>

#include <optional>

namespace publish {

/// The last record the broker acknowledged, kept beside the log in `envmeter-published` as
/// "NUMBER<tab>TIME STAMP", so that publishing goes on after it when a program starts again.
class PublishedMark {
  public:
    /// A record by its number and time stamp (numbers start again after the record limit).
    struct Record {
        qint32 no = -1;
        QString time;
    };

    explicit PublishedMark(const QString &logDirectory);

    /// The mark kept; none when nothing was published from this folder yet, or its file is
    /// unreadable.
    std::optional<Record> read() const;
    void moveTo(const Record &record);
    /// Writes the mark where it moved: at once when `now`, otherwise at most once a second.
    void save(bool now);

  private:
    QString m_file;
    Record m_record;
    bool m_moved = false;
    QElapsedTimer m_sinceSaved;
};

} // namespace publish
