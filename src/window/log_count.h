#pragma once

#include <QtGlobal>

namespace window {

class ChartHandlers;
class WindowModel;

/// The log's record count as the window keeps it: logRecordCount and the history slider's
/// maximum (the count plus one, 1 for an empty log).
void setLogRecordCount(WindowModel &model, qint32 records);

/// After the log was emptied (Clear All, the record limit): the plot wiped, the live trend and
/// the running extremes started again, the count 0.
void startLogAfresh(WindowModel &model, ChartHandlers &chart);

} // namespace window
