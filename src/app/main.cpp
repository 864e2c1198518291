// Builds the program's services and its main window, and starts them.

#include "app/program.h"
#include "core/clock.h"
#include "core/program_files.h"
#include "core/termination_signals.h"
#include "log/statistics_command.h"

#include <QApplication>
#include <QMessageBox>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[]) {
    // The figures of a log file for a script: no window, no display needed.
    if (logbook::asksForStatistics(argc, argv)) {
        const QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return logbook::runStatisticsCommand(QCoreApplication::arguments(), out, err);
    }
    QApplication app(argc, argv);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        QMessageBox::critical(nullptr, QStringLiteral("5710"),
                              QStringLiteral("Qt's SQLite driver (Debian package "
                                             "libqt6sql6-sqlite) is missing, so the log cannot be "
                                             "kept. Install it and start the program again."));
        return 1;
    }
    QCoreApplication::setApplicationName(QStringLiteral("envmeter"));
    QGuiApplication::setDesktopFileName(QStringLiteral(ENVMETER_APP_ID));
    const QString executableDirectory = QCoreApplication::applicationDirPath();
    const core::ProgramFiles files = core::locateProgramFiles(
        executableDirectory, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    core::makeDataFolderOnFirstStart(executableDirectory, files);
    const core::SystemClock clock;
    app::Program program(files, clock);
    core::quitOnTerminationSignals(app);
    program.start();
    // The program's objects end here, the log's writer last writing what it was given.
    return app.exec();
}
