// Soak run, outside the normal suite: the simulated meter's demo at the fastest pace into the
// real program until the log passes its record limit once. Prints events a second, records,
// the backup and the resident memory. Usage: soak_live [seconds-limit]
#include "app/envmeter/program.h"
#include "core/clock.h"
#include "log/log_database.h"
#include "recording_message_boxes.h"
#include "resident_memory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

QString count(const QString &file) {
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"),
                 {QStringLiteral("-cmd"), QStringLiteral(".timeout 2000"), file,
                  QStringLiteral("SELECT count(*), min(AAA), max(AAA) FROM b1")});
    sqlite.waitForFinished();
    return QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed();
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int limitSeconds = argc > 1 ? std::atoi(argv[1]) : 1800;
    QTemporaryDir dir;
    logbook::createLogDatabase(dir.filePath(QStringLiteral("db1.mdb")));
    QProcess meter;
    meter.start(QStringLiteral(METER_SIM),
                {QStringLiteral("--link"), dir.filePath(QStringLiteral("COM1")),
                 QStringLiteral("--speed"), QStringLiteral("0")});
    for (int i = 0; i < 50 && !QFile::exists(dir.filePath(QStringLiteral("COM1"))); ++i)
        QThread::msleep(100);
    qputenv("ENVMETER_COM1", dir.filePath(QStringLiteral("COM1")).toLocal8Bit());

    const core::SystemClock clock;
    core::RecordingMessageBoxes messages;
    app::Program program(dir.path(), clock, &messages);
    program.start();
    const double rssStart = residentMegabytes();
    emit program.mainWindow().toolbarButtonClicked(window::toolbar::kCommPort);
    emit program.mainWindow().toolbarButtonClicked(window::toolbar::kOffLineOnLine);
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 lastReport = 0;
    qint64 events = 0;
    while (messages.shown().isEmpty() && elapsed.elapsed() < limitSeconds * 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        events = program.session().nextRecordNo();
        if (elapsed.elapsed() - lastReport >= 10000) {
            lastReport = elapsed.elapsed();
            std::printf("%6.0f s  records %7lld  %6.0f events/s  RSS %.1f MB\n",
                        lastReport / 1000.0, events, events * 1000.0 / lastReport,
                        residentMegabytes());
            std::fflush(stdout);
        }
    }
    const double seconds = elapsed.elapsed() / 1000.0;
    std::printf("\nafter %.0f s: message: %s\n", seconds,
                qPrintable(messages.shown().value(0, QStringLiteral("(none)"))));
    std::printf("maxdb1.mdb records, min NO, max NO: %s\n",
                qPrintable(count(dir.filePath(QStringLiteral("maxdb1.mdb")))));
    std::printf("db1.mdb records after the limit: %s\n",
                qPrintable(count(dir.filePath(QStringLiteral("db1.mdb")))));
    std::printf("events a second: %.0f; line: %s; RSS start %.1f MB, end %.1f MB\n",
                100000 / seconds, qPrintable(program.model().text(window::ControlId::lineState)),
                rssStart, residentMegabytes());
    meter.terminate();
    meter.waitForFinished();
    return messages.shown().isEmpty() ? 1 : 0;
}
