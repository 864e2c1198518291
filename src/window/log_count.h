#pragma once

#include <QtGlobal>

namespace window {

class ChartHandlers;
class WindowModel;

/// The log's record count as the window keeps it: logRecordCount, nextRecordNo (the NO the next
/// reading gets) and the history slider's maximum (the count plus one, 1 for an empty log).
void setLogRecordCount(WindowModel &model, qint32 records);

/// After the log was emptied (Clear All, the record limit): the plot wiped, the live trend and
/// the running extremes started again, and the numbering from 0.
void startLogAfresh(WindowModel &model, ChartHandlers &chart);

} // namespace window
