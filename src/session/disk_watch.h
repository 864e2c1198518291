#pragma once

#include <QString>

#include <optional>

namespace session {

/// How long the disk of the data folder lasts at the rate readings are logged: said once when
/// less than a week of logging is left there, and again when less than a day; said anew after
/// the space has grown past a week again.
class DiskWatch {
  public:
    /// What a reading takes on disk for good: a kept backup of 100,000 readings is 4.7 MB.
    static constexpr double kBytesPerReading = 47;
    /// How often the rate is taken and the space looked at.
    static constexpr qint64 kCheckMs = 10000;

    explicit DiskWatch(QString folder) : m_folder(std::move(folder)) {}

    /// A reading was logged at `ms` (a monotonic clock's milliseconds): what is to be said now,
    /// if anything.
    std::optional<QString> readingLogged(qint64 ms);

  private:
    enum class Told { Nothing, Week, Day };

    std::optional<QString> spaceLeft(double readingsPerSecond);

    QString m_folder;
    std::optional<qint64> m_since;
    qint64 m_readings = 0;
    Told m_told = Told::Nothing;
};

} // namespace session
