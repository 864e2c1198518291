// The program as main() builds it, on the folder given, reading COM1 (set by ENVMETER_COM1):
// it opens the line as a user would, and again after the record limit put it off, and writes
// "<limits> <newest> <waiting>" whenever the log changes: how many times the log was emptied by
// its record limit in this run, the NO of its newest record on disk (-1 for none), and how many
// readings taken wait to be written. Ended by SIGTERM, it writes "ended <next NO>" once the
// program's objects are gone. The crash safety test kills it at random moments. The messages it
// would show go to standard error.

#include "app/envmeter/program.h"
#include "core/clock.h"
#include "core/termination_signals.h"
#include "log/reading_log.h"
#include "recording_message_boxes.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const core::SystemClock clock;
    core::RecordingMessageBoxes messages;
    qint32 next = 0;
    {
        app::Program program(app.arguments().value(1), clock, &messages);
        core::quitOnTerminationSignals(app);
        program.start();
        views::MainWindow &window = program.mainWindow();
        emit window.toolbarButtonClicked(window::toolbar::kCommPort);
        int limits = 0;
        qint32 previousNext = program.session().nextRecordNo();
        QString printed;
        qsizetype told = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &app, [&] {
            if (program.model().text(window::ControlId::lineState) == u"OFFLine")
                emit window.toolbarButtonClicked(window::toolbar::kOffLineOnLine);
            next = program.session().nextRecordNo();
            if (next < previousNext)
                ++limits;
            previousNext = next;
            const int waiting = program.readingLog().waitingCount();
            const QString line =
                QStringLiteral("%1 %2 %3").arg(limits).arg(next - 1 - waiting).arg(waiting);
            if (line != printed) {
                std::printf("%s\n", qPrintable(line));
                std::fflush(stdout);
                printed = line;
            }
            for (; told < messages.shown().size(); ++told)
                std::fprintf(stderr, "message: %s\n", qPrintable(messages.shown()[told]));
        });
        watch.start(20);
        app.exec();
        next = program.session().nextRecordNo();
    }
    std::printf("ended %d\n", next);
    return 0;
}
