// Builds the program's services and its main window, and starts them.

#include "core/clock.h"
#include "ui/main_window/program.h"

#include <QApplication>
#include <QMessageBox>
#include <QSqlDatabase>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        QMessageBox::critical(nullptr, QStringLiteral("5710"),
                              QStringLiteral("Qt's SQLite driver (Debian package "
                                             "libqt6sql6-sqlite) is missing, so the log cannot be "
                                             "kept. Install it and start the program again."));
        return 1;
    }
    const core::SystemClock clock;
    ui::Program program(QCoreApplication::applicationDirPath(), clock);
    program.start();
    return app.exec();
}
