// Builds the program's services and its main window, and wires them together.

#include "core/clock.h"
#include "log/data_source.h"
#include "log/record_grid_model.h"
#include "ui/help/form4.h"
#include "ui/main_window/clock_tick.h"
#include "ui/main_window/form1.h"
#include "ui/main_window/form3.h"
#include "ui/main_window/qt_message_boxes.h"
#include "ui/main_window/start_up.h"
#include "ui/main_window/window_model.h"

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
    const QString programDirectory = QCoreApplication::applicationDirPath();

    ui::WindowModel model;
    logbook::DataSource data1;
    logbook::RecordGridModel grid(data1);
    core::SystemClock clock;
    ui::Form1 form1(model, grid);
    ui::QtMessageBoxes messages(&form1);
    ui::StartUp startUp(programDirectory, model, data1, grid,
                        form1.surface(ui::ControlId::Picture1), messages);

    QObject::connect(&form1, &ui::Form1::timer1Ticked, &form1,
                     [&model, &clock] { ui::Timer1Tick(model, clock); });
    QObject::connect(&form1, &ui::Form1::exitChosen, &app, &QApplication::quit);
    QObject::connect(&form1, &ui::Form1::helpChosen, &form1, [&] {
        help::Form4 form4(programDirectory, &form1);
        form4.exec();
        startUp.activate();
    });
    ui::Form3 form3(model, &form1);

    startUp.load();
    form1.show();
    startUp.activate();
    return app.exec();
}
