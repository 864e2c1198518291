#include "log/record_window.h"

#include "core/reading_texts.h"
#include "log/record_set.h"

namespace logbook {

int readWindowBackward(RecordSet &records, std::span<LogRecord> window,
                       const QString &overloadText) {
    int count = 0;
    // Past the last record (a log that shrank since it was counted) there is nothing to copy.
    while (count < int(window.size()) && !records.isBeforeFirst() && !records.isAfterLast()) {
        LogRecord &entry = window[count];
        entry.no = records.intValue(0);
        entry.function = records.textValue(1);
        entry.data = records.textValue(2);
        if (entry.data == core::kOverloadText)
            entry.data = overloadText;
        entry.unit = records.textValue(3);
        entry.time = records.textValue(4);
        records.movePrevious();
        ++count;
    }
    return count;
}

} // namespace logbook
