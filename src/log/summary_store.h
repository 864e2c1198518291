#pragma once

#include "log/database_error.h"

#include <QByteArray>
#include <QLatin1String>
#include <QString>

#include <utility>
#include <vector>

namespace logbook {

/// Beside the logs of a data folder: what the statistics keep of each kept backup that was
/// retired, one row a backup, so that its time stays answerable once the backup is gone.
inline constexpr QLatin1String kSummaryStoreFile("summaries.db");

/// Keeps `summary` (as the statistics pack it) for the backup named `log` in the folder's store,
/// made the first time; on the disk when it returns without an error.
DatabaseError keepRetiredSummary(const QString &folder, const QString &log,
                                 const QByteArray &summary);

/// What the folder's store keeps, as (backup name, summary) in name order; none without a store.
std::vector<std::pair<QString, QByteArray>> retiredSummaries(const QString &folder,
                                                             DatabaseError &error);

} // namespace logbook
