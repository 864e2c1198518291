#include "log/record_window.h"

#include "core/reading_texts.h"
#include "log/connection.h"
#include "log/record_set.h"

namespace logbook {

LogSlice readSliceBackward(const QString &path, std::optional<qint64> fromFirst,
                           std::span<LogRecord> window, const QString &overloadText) {
    Connection log;
    RecordSet *records = log.open(path) ? log.openRecordSet() : nullptr;
    if (!records)
        return {0, {}, {}, log.error()};
    LogSlice slice;
    records->moveFirst();
    slice.firstFunction = records->textValue(1);
    slice.firstUnit = records->textValue(3);
    if (!fromFirst)
        records->moveLast();
    else if (*fromFirst != 0)
        records->move(*fromFirst);
    int &count = slice.count;
    // Past the last record (a log that shrank since it was counted) there is nothing to copy.
    while (count < int(window.size()) && !records->isBeforeFirst() && !records->isAfterLast()) {
        LogRecord &entry = window[count];
        entry.no = records->intValue(0);
        entry.function = records->textValue(1);
        entry.data = records->textValue(2);
        if (entry.data == core::kOverloadText)
            entry.data = overloadText;
        entry.unit = records->textValue(3);
        entry.time = records->textValue(4);
        records->movePrevious();
        ++count;
    }
    slice.error = log.error();
    if (slice.error)
        slice.count = 0;
    return slice;
}

} // namespace logbook
