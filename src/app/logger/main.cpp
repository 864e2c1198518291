// envmeter-logger: logs the meter's readings without a window, as a service or from a terminal.

#include "app/logger/logger.h"
#include "core/clock.h"
#include "core/meter_settings.h"
#include "core/program_files.h"
#include "core/settings_file.h"
#include "core/termination_signals.h"
#include "log/log_database.h"
#include "log/logging_lock.h"
#include "meter/qt_serial_line.h"
#include "publish/publish_settings.h"
#include "publish/record_message.h"
#include "publish/retained_clearing.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <optional>

namespace {

/// Options that cannot be followed, and a log that cannot be kept: restarting would not help.
constexpr int kCannotLog = 2;
/// How long --unpublish waits for the broker at each step.
constexpr int kBrokerPatienceMs = 10000;

/// Why the meter `name` has no line to log from, and what would give it one.
QString unnamedLine(const QString &name, const QString &file, bool found) {
    const QString where = QDir::toNativeSeparators(file);
    const QString remedy =
        QStringLiteral("write [meter] with device=PATH or port=1 there, or give --device or "
                       "--port");
    if (found)
        return QStringLiteral("--meter %1: %2 names no line to read the meter from; %3.")
            .arg(name, where, remedy);
    const QStringList known = core::meterNames(core::settingsFile());
    return QStringLiteral("--meter %1: there is no %2 naming its line (%3); %4.")
        .arg(name, where, remedy,
             known.isEmpty() ? QStringLiteral("no meter has a settings file yet")
                             : QStringLiteral("the meters with settings files: %1")
                                   .arg(known.join(QStringLiteral(", "))));
}

/// The folder whose log `--data` names or the window uses, not made here.
QString dataFolder(const QCommandLineParser &parser, const QCommandLineOption &data) {
    if (parser.isSet(data))
        return QDir(parser.value(data)).absolutePath();
    return core::runningProgramFiles().directory;
}

/// --unpublish: takes from the broker what the meter (or each of `names`, as published) left
/// there for good. Exit 0 when done, 1 when the broker could not be asked, 2 when it must not be.
int unpublish(const QString &meterName, QStringList names, const QString &folder, QTextStream &out,
              QTextStream &err, const std::function<int(const QString &)> &refuse) {
    const QString file = core::settingsFile();
    const publish::SettingsReading reading =
        meterName.isEmpty() ? publish::readPublishSettings(file)
                            : publish::readMeterPublishSettings(
                                  file, core::meterSettingsFile(file, meterName), meterName);
    if (!reading.mistakes.isEmpty())
        return refuse(reading.mistakes.join(QStringLiteral("\nenvmeter-logger: ")));
    if (reading.settings.host.isEmpty())
        return refuse(QStringLiteral("no broker is named to clear the meter from: write host= "
                                     "under [mqtt] in %1")
                          .arg(QDir::toNativeSeparators(file)));
    // A logger still running would publish the meter again at once.
    if (QFileInfo(folder).isDir())
        if (const std::optional<QString> holder = logbook::LoggingLock(folder).otherHolder())
            return refuse(QStringLiteral("%1 logs this meter and would publish it again: stop it "
                                         "first (systemctl --user stop %2)")
                              .arg(*holder, core::loggerService(meterName)));
    if (names.isEmpty())
        names.append(reading.settings.meterName());
    for (const QString &name : names)
        if (const QString fault = publish::topicLevelFault(name);
            !fault.isEmpty() || name.isEmpty())
            return refuse(QStringLiteral("--unpublish %1: %2")
                              .arg(name, name.isEmpty() ? QStringLiteral("no name") : fault));
    publish::PublishSettings settings = reading.settings;
    for (const QString &name : names) {
        settings.meter = name;
        const publish::ClearedMeter cleared = publish::clearRetained(settings, kBrokerPatienceMs);
        if (!cleared.failure.isEmpty()) {
            err << "envmeter-logger: " << name << " could not be cleared: " << cleared.failure
                << Qt::endl;
            return 1;
        }
        if (cleared.topics.isEmpty()) {
            out << QStringLiteral("%1 keeps nothing of %2 (under %3/%2/ and "
                                  "homeassistant/+/%4/).")
                       .arg(settings.broker(), name, settings.prefix,
                            publish::discoveryDevice(settings));
            if (!cleared.others.isEmpty())
                out << QStringLiteral(" The meters it keeps a status of under %1/: %2.")
                           .arg(settings.prefix, cleared.others.join(QStringLiteral(", ")));
            out << Qt::endl;
            continue;
        }
        out << QStringLiteral("Cleared from %1 the %2 retained messages of %3:")
                   .arg(settings.broker())
                   .arg(cleared.topics.size())
                   .arg(name)
            << Qt::endl;
        for (const QString &topic : cleared.topics)
            out << "  " << topic << Qt::endl;
    }
    return 0;
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
    const QCommandLineOption unpublishOption(
        QStringLiteral("unpublish"),
        QStringLiteral("Log nothing: take from the broker what the meter left there for good "
                       "(its Home Assistant device, its states and status), as it is published "
                       "now or as each NAME given after the options, and say what was taken. "
                       "For a meter retired or renamed, once its logger is stopped."));
    parser.addOptions({port, device, data, meterOption, verbose, unpublishOption});
    parser.addPositionalArgument(QStringLiteral("NAME"),
                                 QStringLiteral("With --unpublish: a name the meter was published "
                                                "as."),
                                 QStringLiteral("[NAME...]"));
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
    if (!parser.positionalArguments().isEmpty() && !parser.isSet(unpublishOption))
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
    if (const QString fault = core::meterNameFault(meterName);
        parser.isSet(meterOption) && !fault.isEmpty())
        return refuse(QStringLiteral("--meter %1: %2").arg(meterName, fault));
    if (parser.isSet(unpublishOption)) {
        const QString folder = dataFolder(parser, data);
        return unpublish(meterName, parser.positionalArguments(),
                         meterName.isEmpty() ? folder : QDir(folder).filePath(meterName), out, err,
                         refuse);
    }
    core::MeterLine meterLine;
    if (parser.isSet(meterOption)) {
        const QString file = core::meterSettingsFile(core::settingsFile(), meterName);
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

    QString directory = dataFolder(parser, data);
    if (parser.isSet(data)) {
        if (!QDir().mkpath(directory))
            return refuse(QStringLiteral("the folder %1 cannot be made")
                              .arg(QDir::toNativeSeparators(directory)));
    } else {
        core::makeDataFolderOnFirstStart(QCoreApplication::applicationDirPath(),
                                         core::runningProgramFiles());
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
