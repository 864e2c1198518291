// The program as main() builds it, on the folder given, reading COM1 (set by ENVMETER_COM1):
// it opens the line as a user would, and again after the record limit put it off, and writes
// "<limits> <NO>" whenever the last record on disk changes: how many times the log was emptied
// by its record limit in this run, and the NO of its newest record (-1 for none). The crash
// safety test kills it at random moments. The messages it would show go to standard error.

#include "core/clock.h"
#include "core/message_boxes.h"
#include "log/reading_log.h"
#include "ui/main_window/program.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const core::SystemClock clock;
    core::RecordingMessageBoxes messages;
    ui::Program program(app.arguments().value(1), clock, &messages);
    program.start();
    ui::Form1 &window = program.form1();
    emit window.toolbarButtonClicked(QStringLiteral("bb"));
    int limits = 0;
    qint32 previousNext = program.model().fields.NextRecordNo;
    qint32 printed = -2;
    qsizetype told = 0;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (program.model().text(ui::ControlId::Text9) == u"OFFLine")
            emit window.toolbarButtonClicked(QStringLiteral("dd"));
        const qint32 next = program.model().fields.NextRecordNo;
        if (next < previousNext)
            ++limits;
        previousNext = next;
        const qint32 newest = next - 1 - program.readingLog().waitingCount();
        if (newest != printed) {
            std::printf("%d %d\n", limits, newest);
            std::fflush(stdout);
            printed = newest;
        }
        for (; told < messages.shown().size(); ++told)
            std::fprintf(stderr, "message: %s\n", qPrintable(messages.shown()[told]));
    }
}
