#include "statistics/log_history.h"

#include "core/time_stamp.h"
#include "log/connection.h"
#include "log/log_database.h"
#include "log/summary_store.h"
#include "statistics/minute_summary.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSemaphore>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThreadPool>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

namespace stats {

namespace {

const QByteArray kCacheMagic = QByteArrayLiteral("envmeter figures 4");
/// SQLite's header: it holds the count of changes written to the file.
constexpr qint64 kHeaderBytes = 100;

/// What identifies the content of a log file without reading it all.
struct FileKey {
    qint64 size = -1;
    qint64 modified = 0; ///< milliseconds since the epoch
    QByteArray header;

    friend bool operator==(const FileKey &, const FileKey &) = default;
};

std::optional<FileKey> keyOf(const QString &path) {
    // Opening a pipe or a device to read its header would wait for a writer.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QFileInfo info(path);
    return FileKey{info.size(), info.lastModified().toMSecsSinceEpoch(), file.read(kHeaderBytes)};
}

/// Named by the file's content, not its path, so that a backup kept under a new name at the
/// next record limit is still found.
QString cacheFileOf(const FileKey &key, const QString &cache) {
    QCryptographicHash name(QCryptographicHash::Sha1);
    name.addData(QByteArray::number(key.size) + ' ' + QByteArray::number(key.modified) + ' ');
    name.addData(key.header);
    return QDir(cache).filePath(QString::fromLatin1(name.result().toHex()) +
                                QStringLiteral(".figures"));
}

/// The entries column by column, the times as steps from the one before, compressed: the
/// columns repeat themselves (steps of a second, the same group, few levels), so a log is kept
/// in a few percent of its size.
QByteArray packedEntries(const std::vector<Entry> &entries) {
    const std::size_t n = entries.size();
    QByteArray columns(qsizetype(n * (sizeof(qint64) + sizeof(double) + sizeof(qint32) + 1)),
                       Qt::Uninitialized);
    char *at = columns.data();
    const auto put = [&at](const auto &value) {
        std::memcpy(at, &value, sizeof value);
        at += sizeof value;
    };
    qint64 previous = 0;
    for (const Entry &e : entries)
        put(std::exchange(previous, e.time) - e.time);
    for (const Entry &e : entries)
        put(e.level);
    for (const Entry &e : entries)
        put(e.group);
    for (const Entry &e : entries)
        put(qint8(e.kind));
    return qCompress(columns);
}

std::optional<std::vector<Entry>> unpackedEntries(const QByteArray &packed, qint64 count) {
    const qint64 width = sizeof(qint64) + sizeof(double) + sizeof(qint32) + 1;
    // The size the data says it unpacks to, checked first: a damaged one could ask for gigabytes.
    if (count < 0 || packed.size() < 4 ||
        qFromBigEndian<quint32>(packed.constData()) != count * width)
        return std::nullopt;
    const QByteArray columns = qUncompress(packed);
    if (columns.size() != count * width)
        return std::nullopt;
    std::vector<Entry> entries(static_cast<std::size_t>(count));
    const char *at = columns.constData();
    const auto take = [&at](auto &value) {
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
    };
    qint64 time = 0;
    for (Entry &e : entries) {
        qint64 back = 0;
        take(back);
        e.time = time -= back;
    }
    for (Entry &e : entries)
        take(e.level);
    for (Entry &e : entries)
        take(e.group);
    for (Entry &e : entries) {
        qint8 kind = 0;
        take(kind);
        e.kind = kind;
    }
    return entries;
}

/// A log as kept in the cache: its summary, and its entries packed until they are needed.
struct KeptLog {
    std::vector<std::pair<QString, QString>> groups;
    qint64 entryCount = 0;
    QByteArray packedEntries;
    LogSummary summary;

    /// Nothing when the packing is damaged.
    std::optional<CompactLog> entries() const {
        std::optional<std::vector<Entry>> unpacked = unpackedEntries(packedEntries, entryCount);
        if (!unpacked)
            return std::nullopt;
        for (const Entry &e : *unpacked)
            if (e.group < Entry::kLeftOut || e.group >= qint64(groups.size()) ||
                e.kind < Entry::kLevel || e.kind > Entry::kNoTime)
                return std::nullopt;
        return CompactLog{groups, std::move(*unpacked)};
    }
};

/// The cache file of `key` opened on its outline; nothing where it is of another format or
/// another file.
std::optional<LogOutline> openCache(QFile &file, QDataStream &stream, const FileKey &key) {
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    stream.setDevice(&file);
    QByteArray magic;
    FileKey kept;
    QByteArray head;
    quint16 sum = 0;
    stream >> magic >> kept.size >> kept.modified >> kept.header >> head >> sum;
    // The outline is trusted alone, so it carries its own check.
    if (stream.status() != QDataStream::Ok || magic != kCacheMagic || !(kept == key) ||
        qChecksum(head) != sum)
        return std::nullopt;
    LogOutline outline;
    QDataStream read(head);
    read >> outline;
    return outline;
}

std::optional<LogOutline> readCachedOutline(const QString &file, const FileKey &key) {
    QFile in(file);
    QDataStream stream;
    return openCache(in, stream, key);
}

std::optional<KeptLog> readCache(const QString &file, const FileKey &key) {
    QFile in(file);
    QDataStream stream;
    const std::optional<LogOutline> outline = openCache(in, stream, key);
    qint64 groups = 0;
    stream >> groups;
    if (!outline || groups < 0 || groups > 1 << 16)
        return std::nullopt;
    KeptLog log;
    for (qint64 g = 0; g < groups; ++g) {
        std::pair<QString, QString> group;
        stream >> group.first >> group.second;
        log.groups.push_back(group);
    }
    QByteArray summary;
    stream >> log.entryCount >> log.packedEntries >> summary;
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    std::optional<LogSummary> unpacked = unpackedSummary(summary);
    if (!unpacked || unpacked->groups != log.groups || !(unpacked->outline == *outline))
        return std::nullopt;
    log.summary = std::move(*unpacked);
    return log;
}

/// Deleting the cache only costs time: a cache that cannot be written is no failure.
void writeCache(const QString &file, const FileKey &key, const CompactLog &log,
                const LogSummary &summary) {
    QDir().mkpath(QFileInfo(file).path());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return;
    QDataStream stream(&out);
    // The outline first: ordering a history reads no more.
    QByteArray head;
    QDataStream written(&head, QIODevice::WriteOnly);
    written << summary.outline;
    stream << kCacheMagic << key.size << key.modified << key.header << head << qChecksum(head)
           << qint64(log.groups.size());
    for (const auto &[function, unit] : log.groups)
        stream << function << unit;
    stream << qint64(log.entries.size()) << packedEntries(log.entries) << packedSummary(summary);
    out.commit();
}

/// The clock time of the first record whose stamp can be read.
std::optional<qint64> firstTime(const CompactLog &log) {
    for (const Entry &e : log.entries)
        if (e.kind != Entry::kNoTime)
            return e.time;
    return std::nullopt;
}

bool isLiveLog(const QString &path) { return QFileInfo(path).fileName() == logbook::kLiveLogFile; }

/// The files the paths stand for, each once.
QStringList logFiles(const QStringList &paths) {
    QStringList files;
    for (const QString &path : paths) {
        const QStringList these =
            QFileInfo(path).isDir() ? logbook::historyFiles(path) : QStringList{path};
        for (const QString &file : these) {
            const QString absolute = QFileInfo(file).absoluteFilePath();
            if (!files.contains(absolute))
                files.append(absolute);
        }
    }
    return files;
}

} // namespace

QString cacheFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(QStringLiteral("envmeter"));
}

namespace {

/// A log as the figures take it: its entries read from the file, what the cache keeps of a
/// kept backup (from the cache, or as it was written there), or only a kept backup's outline.
struct ReadLog {
    std::optional<CompactLog> read;
    std::optional<KeptLog> kept;
    std::optional<LogOutline> outline;

    std::optional<qint64> firstClock() const {
        return read ? firstTime(*read) : outline->firstClock;
    }
};

/// How much of a log is wanted.
enum class Reading { Whole, Outline };

/// The log from the cache, or else from the file; a kept backup read from the file is kept in
/// the cache with its summary by the zone's clock. Nothing when the file is no log, with
/// `error` set.
std::optional<ReadLog> readLog(const QString &path, const QString &cache,
                               const core::ZoneClock &zone, logbook::DatabaseError &error,
                               Reading wanted = Reading::Whole, bool fromCache = true) {
    const bool keep = !isLiveLog(path) && !cache.isEmpty();
    const std::optional<FileKey> key = keep ? keyOf(path) : std::nullopt;
    const QString cached = key ? cacheFileOf(*key, cache) : QString();
    if (key && fromCache && wanted == Reading::Outline)
        if (std::optional<LogOutline> outline = readCachedOutline(cached, *key))
            return ReadLog{std::nullopt, std::nullopt, outline};
    if (key && fromCache)
        if (std::optional<KeptLog> kept = readCache(cached, *key))
            return ReadLog{std::nullopt, kept, kept->summary.outline};
    std::optional<std::vector<logbook::LogRecord>> records = logbook::readLogRecords(path, error);
    if (!records)
        return std::nullopt;
    ReadLog log{compactLog(*records), std::nullopt, std::nullopt};
    if (!key)
        return log;
    log.kept = KeptLog{log.read->groups, 0, {}, summarised(*log.read, zone)};
    log.outline = log.kept->summary.outline;
    // Kept only when the file did not change while it was read.
    if (keyOf(path) == key)
        writeCache(cached, *key, *log.read, log.kept->summary);
    return log;
}

/// The log's entries: read, unpacked from the cache, or read again where the cache was damaged.
std::optional<CompactLog> entriesOf(ReadLog &&log, const QString &path, const QString &cache,
                                    const core::ZoneClock &zone, logbook::DatabaseError &error) {
    if (log.read)
        return std::move(log.read);
    if (std::optional<CompactLog> entries = log.kept->entries())
        return entries;
    std::optional<ReadLog> again = readLog(path, cache, zone, error, Reading::Whole, false);
    return again ? std::move(again->read) : std::nullopt;
}

/// Adds the log to the figures, its summary where it gives them whole, else its entries; read
/// now unless it was; false when it cannot be read.
bool addLog(FigureBuilder &builder, const QString &path, std::optional<ReadLog> &&read,
            const QString &cache, const core::ZoneClock &zone, logbook::DatabaseError &error) {
    if (read && !read->read && !read->kept && builder.passesBy(*read->outline)) {
        builder.pass(*read->outline);
        return true;
    }
    std::optional<ReadLog> log =
        read && (read->read || read->kept) ? std::move(read) : readLog(path, cache, zone, error);
    if (!log)
        return false;
    if (log->kept && builder.takesWhole(log->kept->summary)) {
        builder.add(log->kept->summary);
        return true;
    }
    const std::optional<CompactLog> entries = entriesOf(std::move(*log), path, cache, zone, error);
    if (entries)
        builder.add(*entries);
    return entries.has_value();
}

/// A retired log: where it was, its packed summary, its first stamp.
struct RetiredLog {
    QString file;
    QByteArray packed;
    std::optional<qint64> first;
};

/// The logs retired from the folders among the paths whose files are gone (a file still there
/// is read itself); a store or summary that cannot be read named in `unread`.
std::vector<RetiredLog> retiredLogs(const QStringList &paths, const QStringList &files,
                                    std::vector<std::pair<QString, QString>> &unread) {
    std::vector<RetiredLog> retired;
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir())
            continue;
        logbook::DatabaseError error;
        const auto kept = logbook::retiredSummaries(path, error);
        if (error)
            unread.emplace_back(error.file, error.reason);
        for (const auto &[name, packed] : kept) {
            const QString file = QFileInfo(QDir(path).filePath(name)).absoluteFilePath();
            if (files.contains(file))
                continue;
            if (const std::optional<LogSummary> summary = unpackedSummary(packed))
                retired.push_back({file, packed, summary->outline.firstClock});
            else
                unread.emplace_back(
                    file,
                    QStringLiteral("its summary in %1 is damaged").arg(logbook::kSummaryStoreFile));
        }
    }
    return retired;
}

/// A log of a history, to be put in order.
struct OrderedLog {
    std::optional<qint64> first;
    QString file;
    std::optional<ReadLog> kept; ///< the live log whole, read anyway; a kept backup's outline
    std::optional<qint64> fold;  ///< where its first stamp is of the hour lived twice
    qint64 modified = 0;
    QByteArray retired; ///< the packed summary of a retired log
};

/// The files as logs to put in order, read several at a time: a kept backup nobody kept in
/// the cache yet is read and kept on the way. `told` is called as each is read, on the
/// caller's thread; once it returns false the rest are not read. The logs that cannot be read
/// named in `unread`.
std::vector<OrderedLog> orderedLogs(const QStringList &files, const QString &cache,
                                    const core::ZoneClock &zone,
                                    std::vector<std::pair<QString, QString>> &unread,
                                    const std::function<bool()> &told) {
    std::vector<std::optional<OrderedLog>> logs(std::size_t(files.size()));
    std::vector<logbook::DatabaseError> errors(logs.size());
    QThreadPool pool; // its own, so that stopping leaves others' work alone
    QSemaphore read;
    std::atomic<bool> stop = false;
    for (std::size_t i = 0; i < logs.size(); ++i)
        // Each with a zone of its own: a zone keeps what it looked up last.
        pool.start([&, i, zone] {
            const QString &file = files[qsizetype(i)];
            std::optional<ReadLog> log =
                stop ? std::nullopt : readLog(file, cache, zone, errors[i], Reading::Outline);
            if (log) {
                const std::optional<qint64> first = log->firstClock();
                if (!isLiveLog(file))
                    log =
                        log->outline ? std::optional(ReadLog{{}, {}, log->outline}) : std::nullopt;
                logs[i] = OrderedLog{first,
                                     file,
                                     std::move(log),
                                     first ? zone.foldOf(*first) : std::nullopt,
                                     QFileInfo(file).lastModified().toMSecsSinceEpoch(),
                                     {}};
            }
            read.release();
        });
    for (std::size_t i = 0; i < logs.size(); ++i) {
        read.acquire();
        if (!told()) {
            stop = true;
            break;
        }
    }
    pool.waitForDone();
    std::vector<OrderedLog> ordered;
    for (std::size_t i = 0; i < logs.size(); ++i)
        if (logs[i])
            ordered.push_back(std::move(*logs[i]));
        else if (!stop)
            unread.emplace_back(files[qsizetype(i)], errors[i].reason);
    return ordered;
}

} // namespace

std::optional<CompactLog> readCompactLog(const QString &path, const QString &cache,
                                         logbook::DatabaseError &error) {
    const core::ZoneClock zone;
    std::optional<ReadLog> log = readLog(path, cache, zone, error);
    return log ? entriesOf(std::move(*log), path, cache, zone, error) : std::nullopt;
}

std::optional<LogSummary> summaryOf(const QString &backup, const QString &cache,
                                    logbook::DatabaseError &error) {
    std::optional<ReadLog> log = readLog(backup, cache, core::ZoneClock(), error);
    if (!log)
        return std::nullopt;
    if (log->kept)
        return std::move(log->kept->summary);
    return summarised(*log->read, core::ZoneClock());
}

void dropFromCache(const QString &backup, const QString &cache) {
    if (const std::optional<FileKey> key = keyOf(backup); key && !cache.isEmpty())
        QFile::remove(cacheFileOf(*key, cache));
}

void keepInCache(const QString &backup, const QString &cache, std::optional<CompactLog> logged) {
    logbook::DatabaseError error;
    const core::ZoneClock zone;
    if (logged) {
        const std::optional<FileKey> key = keyOf(backup);
        const std::optional<logbook::LogEnds> ends = logbook::logEnds(backup, error);
        const auto stamped = [](const QString &time, const Entry &e) {
            return core::clockSeconds(time).value_or(0) == e.time;
        };
        if (key && ends && std::size_t(ends->records) == logged->entries.size() &&
            ends->records > 0 && stamped(ends->firstTime, logged->entries.front()) &&
            stamped(ends->lastTime, logged->entries.back()) && keyOf(backup) == key) {
            writeCache(cacheFileOf(*key, cache), *key, *logged, summarised(*logged, zone));
            return;
        }
    }
    readLog(backup, cache, zone, error);
}

void keepInCacheSoon(const QString &backup, const QString &cache,
                     std::optional<CompactLog> logged) {
    QThreadPool::globalInstance()->start([backup, cache, logged = std::move(logged)]() mutable {
        keepInCache(backup, cache, std::move(logged));
    });
}

HistoryFigures historyFigures(const QStringList &paths, const SpanQuery &query, int intervalSeconds,
                              const QString &cache, const HistoryProgress &progress) {
    HistoryFigures result;
    const QStringList files = logFiles(paths);
    const std::vector<RetiredLog> retired = retiredLogs(paths, files, result.unread);
    const int total = int(files.size()) * 2 + int(retired.size());
    int done = 0;
    // First each log's first time, for the order (a kept backup's outline, from the cache made
    // on the way), then the logs in that order, one in memory at a time.
    std::vector<OrderedLog> ordered;
    for (const auto &[file, packed, first] : retired)
        ordered.push_back({first, file, std::nullopt,
                           first ? query.zone.foldOf(*first) : std::nullopt, 0, packed});
    bool cancelled = false;
    for (OrderedLog &log : orderedLogs(files, cache, query.zone, result.unread, [&] {
             return !progress || progress(++done, total) || !(cancelled = true);
         }))
        ordered.push_back(std::move(log));
    if (cancelled)
        return {{}, {}, {}, {}, {}, {}, true};
    std::stable_sort(ordered.begin(), ordered.end(), [](const OrderedLog &a, const OrderedLog &b) {
        // Logs without a readable stamp last.
        if (a.first.has_value() != b.first.has_value())
            return a.first.has_value();
        // Two begun in the hour the clock read twice: their stamps cannot tell which came
        // first, the files can.
        if (a.fold && a.fold == b.fold)
            return a.modified < b.modified;
        return a.first.value_or(0) < b.first.value_or(0);
    });
    FigureBuilder builder(query, intervalSeconds);
    for (OrderedLog &o : ordered) {
        logbook::DatabaseError error;
        if (!o.retired.isEmpty()) {
            const std::optional<LogSummary> summary = unpackedSummary(o.retired);
            if (summary && builder.passesBy(summary->outline)) {
                builder.pass(summary->outline);
            } else if (summary) {
                builder.add(*summary);
                result.summarised.push_back({o.file, query.zone.at(summary->outline.firstTaken),
                                             query.zone.at(summary->outline.lastTaken)});
            }
            if (progress && !progress(++done, total))
                return {{}, {}, {}, {}, {}, {}, true};
            continue;
        }
        const bool added = addLog(builder, o.file, std::move(o.kept), cache, query.zone, error);
        if (progress && !progress(++done, total))
            return {{}, {}, {}, {}, {}, {}, true};
        if (added)
            result.files.append(o.file);
        else
            result.unread.emplace_back(o.file, error.reason);
    }
    result.span = builder.span();
    result.intervals = builder.intervals();
    result.events = builder.events();
    for (EventFigures &e : result.events)
        e.fromSummaries = std::any_of(
            result.summarised.begin(), result.summarised.end(), [&e](const SummarisedLog &log) {
                return e.end.utc >= log.first.utc && e.start.utc <= log.last.utc;
            });
    return result;
}

} // namespace stats
