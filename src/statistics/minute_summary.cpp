#include "statistics/minute_summary.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace stats {

namespace {

/// Bytes a piece and a level take unpacked.
constexpr qint64 kPieceWidth = sizeof(qint64) + 7 * sizeof(qint32);
constexpr qint64 kLevelWidth = sizeof(double) + sizeof(qint32);
/// A piece's counts, a column each.
constexpr std::array kCountColumns{&MinutePiece::group, &MinutePiece::readings,
                                   &MinutePiece::overloads, &MinutePiece::levels};
/// A summary of more than this many pieces or levels is damaged: a full log has 100,000 records.
constexpr qint64 kMostItems = qint64(1) << 28;

/// Values laid out one after the other, as they are.
class Columns {
  public:
    explicit Columns(qint64 bytes) { m_bytes.reserve(bytes); }
    template <typename T> void put(T value) {
        m_bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
    }
    const QByteArray &bytes() const { return m_bytes; }

  private:
    QByteArray m_bytes;
};

/// Values taken one after the other from bytes known to hold them all.
class ColumnReader {
  public:
    explicit ColumnReader(const QByteArray &bytes) : m_at(bytes.constData()) {}
    template <typename T> T take() {
        T value;
        std::memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
        return value;
    }

  private:
    const char *m_at;
};

} // namespace

int periodOfDay(qint64 clockSecond) {
    const qint64 hour = (clockSecond % 86400 + 86400) % 86400 / 3600;
    return hour >= 7 && hour < 19 ? 0 : hour >= 19 && hour < 23 ? 1 : 2;
}

QDataStream &operator<<(QDataStream &out, const LogOutline &outline) {
    return out << outline.zone << outline.noTime << outline.firstClock.has_value()
               << outline.firstClock.value_or(0) << outline.firstTaken << outline.lastTaken
               << outline.earliest << outline.latest;
}

QDataStream &operator>>(QDataStream &in, LogOutline &outline) {
    bool hasFirst = false;
    qint64 firstClock = 0;
    in >> outline.zone >> outline.noTime >> hasFirst >> firstClock >> outline.firstTaken >>
        outline.lastTaken >> outline.earliest >> outline.latest;
    outline.firstClock = hasFirst ? std::optional(firstClock) : std::nullopt;
    return in;
}

LogSummary summarised(const CompactLog &log, const core::ZoneClock &zone) {
    LogSummary summary;
    LogOutline &outline = summary.outline;
    outline.zone = zone.zone().id();
    summary.groups = log.groups;
    std::optional<qint64> previous;
    std::pair<qint64, qint64> minute{0, 0};
    std::vector<double> levels;
    const auto closePiece = [&] {
        if (summary.pieces.empty())
            return;
        const std::size_t before = summary.levels.size();
        std::sort(levels.begin(), levels.end());
        for (const double level : levels)
            if (summary.levels.size() > before && summary.levels.back().level == level)
                ++summary.levels.back().count;
            else
                summary.levels.push_back({level, 1});
        summary.pieces.back().levels = qint32(summary.levels.size() - before);
        levels.clear();
    };
    for (const Entry &e : log.entries) {
        if (e.kind == Entry::kNoTime) {
            ++outline.noTime;
            continue;
        }
        const core::LocalInstant taken = zone.takenAt(e.time, previous);
        if (!previous) {
            outline.firstClock = e.time;
            outline.firstTaken = outline.earliest = outline.latest = taken.utc;
        }
        outline.earliest = std::min(outline.earliest, taken.utc);
        outline.latest = std::max(outline.latest, taken.utc);
        previous = taken.utc;
        if (taken.utc < minute.first || taken.utc >= minute.second)
            minute = zone.intervalOf(taken.utc, 60);
        MinutePiece *piece = summary.pieces.empty() ? nullptr : &summary.pieces.back();
        const bool goesOn = piece && piece->group == e.group && taken.utc >= piece->last.utc &&
                            taken.utc - piece->last.utc <= kRunGapSeconds &&
                            piece->first.utc >= minute.first &&
                            periodOfDay(taken.clock()) == periodOfDay(piece->first.clock());
        if (!goesOn) {
            closePiece();
            summary.pieces.push_back({taken, taken, e.group, 0, 0, 0});
            piece = &summary.pieces.back();
        }
        piece->last = taken;
        ++piece->readings;
        if (e.group == Entry::kLeftOut)
            continue;
        if (e.kind == Entry::kOverload)
            ++piece->overloads;
        else
            levels.push_back(e.level);
    }
    closePiece();
    outline.lastTaken = previous.value_or(0);
    return summary;
}

QByteArray packedSummary(const LogSummary &summary) {
    const auto pieces = qint64(summary.pieces.size());
    const auto levels = qint64(summary.levels.size());
    // Column by column, times as steps from the one before: the columns repeat themselves.
    Columns columns(pieces * kPieceWidth + levels * kLevelWidth);
    qint64 previous = 0;
    for (const MinutePiece &p : summary.pieces)
        columns.put(p.first.utc - std::exchange(previous, p.first.utc));
    for (const MinutePiece &p : summary.pieces)
        columns.put(qint32(p.last.utc - p.first.utc));
    for (const MinutePiece &p : summary.pieces)
        columns.put(qint32(p.first.offset));
    for (const MinutePiece &p : summary.pieces)
        columns.put(qint32(p.last.offset));
    for (const auto count : kCountColumns)
        for (const MinutePiece &p : summary.pieces)
            columns.put(p.*count);
    for (const LevelCount &l : summary.levels)
        columns.put(l.level);
    for (const LevelCount &l : summary.levels)
        columns.put(l.count);

    QByteArray packed;
    QDataStream out(&packed, QIODevice::WriteOnly);
    out << summary.outline << qint64(summary.groups.size());
    for (const auto &[function, unit] : summary.groups)
        out << function << unit;
    out << pieces << levels << qCompress(columns.bytes());
    return packed;
}

std::optional<LogSummary> unpackedSummary(const QByteArray &packed) {
    QDataStream in(packed);
    LogSummary summary;
    qint64 groups = 0;
    in >> summary.outline >> groups;
    if (in.status() != QDataStream::Ok || groups < 0 || groups > 1 << 16)
        return std::nullopt;
    summary.groups.resize(std::size_t(groups));
    for (auto &[function, unit] : summary.groups)
        in >> function >> unit;
    qint64 pieces = 0;
    qint64 levels = 0;
    QByteArray compressed;
    in >> pieces >> levels >> compressed;
    const qint64 bytes = pieces * kPieceWidth + levels * kLevelWidth;
    // The size the columns say they unpack to, checked first: a damaged one could ask for
    // gigabytes.
    if (in.status() != QDataStream::Ok || pieces < 0 || levels < 0 || pieces > kMostItems ||
        levels > kMostItems || compressed.size() < 4 ||
        qFromBigEndian<quint32>(compressed.constData()) != quint64(bytes))
        return std::nullopt;
    const QByteArray columns = qUncompress(compressed);
    if (columns.size() != bytes)
        return std::nullopt;
    summary.pieces.resize(std::size_t(pieces));
    summary.levels.resize(std::size_t(levels));
    ColumnReader reader(columns);
    qint64 time = 0;
    for (MinutePiece &p : summary.pieces)
        p.first.utc = time += reader.take<qint64>();
    for (MinutePiece &p : summary.pieces)
        p.last.utc = p.first.utc + reader.take<qint32>();
    for (MinutePiece &p : summary.pieces)
        p.first.offset = reader.take<qint32>();
    for (MinutePiece &p : summary.pieces)
        p.last.offset = reader.take<qint32>();
    for (const auto count : kCountColumns)
        for (MinutePiece &p : summary.pieces)
            p.*count = reader.take<qint32>();
    for (LevelCount &l : summary.levels)
        l.level = reader.take<double>();
    for (LevelCount &l : summary.levels)
        l.count = reader.take<qint32>();
    // What the figures index by must hold together.
    qint64 listed = 0;
    for (const MinutePiece &p : summary.pieces) {
        if (p.group < Entry::kLeftOut || p.group >= groups || p.levels < 0 || p.overloads < 0 ||
            p.readings < p.overloads)
            return std::nullopt;
        listed += p.levels;
    }
    if (listed != levels)
        return std::nullopt;
    return summary;
}

} // namespace stats
