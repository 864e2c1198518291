#pragma once

#include "log/reading_log.h"

namespace logbook {

class DataSource;
class RecordGridModel;

/// The grid's side of the live log: its data source bound to the file shown, and the log's
/// five columns over it.
class LogGrid final : public LogShown {
  public:
    LogGrid(DataSource &gridSource, RecordGridModel &grid)
        : m_gridSource(gridSource), m_grid(grid) {}

    QString file() const override;
    bool show(const QString &file) override;
    bool append(const std::vector<CommittedRecord> &committed) override;
    DatabaseError error() const override;

  private:
    DataSource &m_gridSource;
    RecordGridModel &m_grid;
};

} // namespace logbook
