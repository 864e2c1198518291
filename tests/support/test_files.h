#pragma once

// Whole files, as the tests write and read them.

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

inline bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray bytesOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A small file system of its own (tmpfs of `size`, as "24m") on `folder` while it lives, where
/// the machine lets a test mount one (root); mounted() says whether it did.
class SmallDisk {
  public:
    SmallDisk(QString folder, const QString &size) : m_folder(std::move(folder)) {
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                       QStringLiteral("-o"), QStringLiteral("size=") + size,
                                       QStringLiteral("tmpfs"), m_folder}) == 0;
    }
    ~SmallDisk() {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_folder});
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return m_mounted; }

  private:
    QString m_folder;
    bool m_mounted = false;
};
