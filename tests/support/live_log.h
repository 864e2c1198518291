#pragma once

// The live log of a folder as the program keeps it: the grid's data source bound to db1.mdb and
// read, the grid, and the reading log with recording message boxes and a settable clock.

#include "core/clock.h"
#include "log/data_source.h"
#include "log/log_database.h"
#include "log/log_grid.h"
#include "log/reading_log.h"
#include "log/record_grid_model.h"
#include "recording_message_boxes.h"

struct LiveLog {
    explicit LiveLog(const QString &directory) : log(directory, clock, messages, &logGrid) {
        gridSource.setDatabaseName(log.filePath(logbook::kLiveLogFile));
        gridSource.setRecordSource(logbook::kRecordSource);
        gridSource.refresh();
    }
    logbook::DataSource gridSource;
    logbook::RecordGridModel grid{gridSource};
    logbook::LogGrid logGrid{gridSource, grid};
    core::SettableClock clock{QDateTime(QDate(2026, 12, 4), QTime(14, 3, 27))};
    core::RecordingMessageBoxes messages;
    logbook::ReadingLog log;
};
