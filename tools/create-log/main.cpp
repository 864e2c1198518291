// Places an empty log database at the given path when there is none, so the program ships
// with its log. An existing file is a user's log and is never touched.

#include "log/log_database.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    QTextStream err(stderr);
    if (arguments.size() != 2) {
        err << "usage: create-log PATH\n";
        return 2;
    }
    const QString path = arguments.at(1);
    if (QFileInfo::exists(path))
        return 0;
    if (const logbook::DatabaseError error = logbook::createLogDatabase(path)) {
        err << "create-log: " << path << ": " << error.reason << '\n';
        return 1;
    }
    return 0;
}
