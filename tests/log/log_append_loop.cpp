// Appends readings to the log in the given directory until it is killed, printing each NO
// once its append has returned. The crash test kills it at a random moment.

#include "core/clock.h"
#include "core/message_boxes.h"
#include "log/data_source.h"
#include "log/log_database.h"
#include "log/reading_log.h"
#include "log/record_grid_model.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QString directory = app.arguments().value(1);
    logbook::DataSource data1;
    data1.setDatabaseName(QDir(directory).filePath(logbook::kLiveLogFile));
    data1.setRecordSource(logbook::kRecordSource);
    logbook::RecordGridModel grid(data1);
    core::SystemClock clock;
    core::RecordingMessageBoxes messages;
    logbook::ReadingLog log(directory, data1, grid, clock, messages);
    for (qint32 no = 0;; ++no) {
        log.appendReading(no, QStringLiteral("Sound"), QString::number(40 + no % 50),
                          QStringLiteral("dB"));
        if (!messages.shown().isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(messages.shown().first()));
            return 1;
        }
        std::printf("%d\n", no);
        std::fflush(stdout);
    }
}
