// envmeter-logger: logs the meter's readings without a window, as a service or from a terminal.

#include "app/logger.h"
#include "core/clock.h"
#include "core/meter_settings.h"
#include "core/program_files.h"
#include "core/termination_signals.h"
#include "log/log_database.h"
#include "meter/qt_serial_line.h"
#include "publish/publish_settings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdio>

namespace {

/// Options that cannot be followed, and a log that cannot be kept: restarting would not help.
constexpr int kCannotLog = 2;

/// The window's data folder: the same files whichever program logs.
QString windowDataFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("envmeter"));
}

/// Why the meter `name` has no line to log from, and what would give it one.
QString unnamedLine(const QString &name, const QString &file, bool found) {
    const QString where = QDir::toNativeSeparators(file);
    const QString remedy =
        QStringLiteral("write [meter] with device=PATH or port=1 there, or give --device or "
                       "--port");
    if (found)
        return QStringLiteral("--meter %1: %2 names no line to read the meter from; %3.")
            .arg(name, where, remedy);
    const QStringList known = core::meterNames(publish::settingsFile());
    return QStringLiteral("--meter %1: there is no %2 naming its line (%3); %4.")
        .arg(name, where, remedy,
             known.isEmpty() ? QStringLiteral("no meter has a settings file yet")
                             : QStringLiteral("the meters with settings files: %1")
                                   .arg(known.join(QStringLiteral(", "))));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("envmeter-logger"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ENVMETER_VERSION));
    QTextStream err(stderr);
    QTextStream out(stdout);
    const auto refuse = [&err](const QString &why) {
        err << "envmeter-logger: " << why << Qt::endl;
        return kCannotLog;
    };

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Logs every reading of the meter into the log the envmeter window shows, "
                       "without a window. Stop it with Ctrl+C or SIGTERM: the readings taken are "
                       "written first."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("COM1 or COM2, as the window maps them "
                                                 "(default 1)."),
                                  QStringLiteral("1|2"), QStringLiteral("1"));
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("The serial device or link to read, instead of "
                                                   "the port's."),
                                    QStringLiteral("path"));
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("The folder of the log (default: the window's "
                                                 "data folder)."),
                                  QStringLiteral("folder"));
    const QCommandLineOption meterOption(
        QStringLiteral("meter"),
        QStringLiteral("One of several meters, by its name (letters, digits, - and _): its log "
                       "in the folder NAME of the data folder, its settings NAME.conf beside "
                       "envmeter.conf and read over it ([meter] device= or port= name its "
                       "line), published as NAME. Options given here win over the files."),
        QStringLiteral("NAME"));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Also say each reading as it is taken."));
    parser.addOptions({port, device, data, meterOption, verbose});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(QCoreApplication::arguments()))
        return refuse(parser.errorText() + QStringLiteral(" (see --help)"));
    if (parser.isSet(help)) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        out << "envmeter-logger " << QCoreApplication::applicationVersion() << Qt::endl;
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("unexpected argument: %1 (see --help)")
                          .arg(parser.positionalArguments().constFirst()));
    const QString portText = parser.value(port);
    if (portText != u"1" && portText != u"2")
        return refuse(QStringLiteral("--port takes 1 or 2, not \"%1\"").arg(portText));
    for (const QCommandLineOption *named : {&device, &data})
        if (parser.isSet(*named) && parser.value(*named).isEmpty())
            return refuse(QStringLiteral("--%1 needs a %2, not nothing")
                              .arg(named->names().constFirst(), named->valueName()));
    const QString meterName = parser.value(meterOption);
    core::MeterLine meterLine;
    if (parser.isSet(meterOption)) {
        if (const QString fault = core::meterNameFault(meterName); !fault.isEmpty())
            return refuse(QStringLiteral("--meter %1: %2").arg(meterName, fault));
        const QString file = core::meterSettingsFile(publish::settingsFile(), meterName);
        meterLine = core::readMeterLine(file);
        if (!meterLine.mistakes.isEmpty())
            return refuse(meterLine.mistakes.join(QStringLiteral("\nenvmeter-logger: ")));
        // A named meter is never read from COM1 unasked: a mistyped name would start a new
        // meter on whatever line that is.
        if (!parser.isSet(port) && !parser.isSet(device) && meterLine.device.isEmpty() &&
            meterLine.port == 0)
            return refuse(unnamedLine(meterName, file, meterLine.found));
    }
    // The command line first, then the meter's own settings.
    const bool lineGiven = parser.isSet(port) || parser.isSet(device);
    const int portNumber = !lineGiven && meterLine.port > 0 ? meterLine.port : portText.toInt();
    meter::QtSerialLine line;
    // Absolute: the serial port library reads a bare name as one under /dev.
    if (parser.isSet(device))
        line.setDevice(QFileInfo(parser.value(device)).absoluteFilePath());
    else if (!lineGiven && !meterLine.device.isEmpty())
        line.setDevice(meterLine.device);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return refuse(QStringLiteral("Qt's SQLite driver (Debian package libqt6sql6-sqlite) is "
                                     "missing, so the log cannot be kept"));

    QString directory;
    if (parser.isSet(data)) {
        directory = QDir(parser.value(data)).absolutePath();
        if (!QDir().mkpath(directory))
            return refuse(QStringLiteral("the folder %1 cannot be made")
                              .arg(QDir::toNativeSeparators(directory)));
    } else {
        const QString executableDirectory = QCoreApplication::applicationDirPath();
        const core::ProgramFiles files =
            core::locateProgramFiles(executableDirectory, windowDataFolder());
        core::makeDataFolderOnFirstStart(executableDirectory, files);
        directory = files.directory;
    }
    if (!meterName.isEmpty()) {
        const QString folder = logbook::meterFolder(directory, meterName);
        if (folder.isEmpty())
            return refuse(QStringLiteral("the folder %1 cannot be made with its log")
                              .arg(QDir::toNativeSeparators(QDir(directory).filePath(meterName))));
        directory = folder;
    }

    const core::SystemClock clock;
    core::quitOnTerminationSignals(app);
    app::Logger logger(directory, portNumber, clock, err, &line);
    logger.setMeterName(meterName);
    if (!logger.start())
        return kCannotLog;
    if (parser.isSet(verbose))
        logger.followReadings();
    // The logger's end writes the readings taken before the program ends.
    return app.exec();
}
