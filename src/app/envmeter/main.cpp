// Builds the program's services and its main window, and starts them.

#include "app/envmeter/program.h"
#include "app/envmeter/statistics_command.h"
#include "core/clock.h"
#include "core/meter_settings.h"
#include "core/program_files.h"
#include "core/settings_file.h"
#include "core/termination_signals.h"
#include "log/log_database.h"
#include "meter/qt_serial_line.h"
#include "publish/publish_settings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSqlDatabase>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

constexpr int kBadOptions = 2;

/// The options every Qt window program takes (the display, the style, ...): taken here only to
/// be passed on, and not shown in the help.
QList<QCommandLineOption> qtWindowOptions() {
    QList<QCommandLineOption> options;
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                             "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display",
                             "geometry", "style", "stylesheet", "qmljsdebugger"})
        options.append({QString::fromLatin1(name), QString(), QStringLiteral("value")});
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb"})
        options.append({QString::fromLatin1(name), QString()});
    for (QCommandLineOption &option : options)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return options;
}

/// What the command line asks that needs no window: the help, the version, the statistics, or
/// a mistake in it, answered on the terminal with the exit code. Nothing when the window opens,
/// for the meter `meterName` names (none: the one meter of the data folder).
std::optional<int> answerOnTerminal(int argc, char *argv[], QString &meterName) {
    QCommandLineParser parser;
    // Qt's own options are written with one dash: -platform offscreen.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("The companion of the environment meter: shows its readings as they come "
                       "and logs each one into the log beside the program.\n\n"
                       "  envmeter --statistics [PATH...] [--meter NAME]... [--from T] [--to T] "
                       "[--hi [FUNCTION=]X]... "
                       "[--low [FUNCTION=]Y]... [--interval 1m|15m|1h|1d] [--json|--csv]\n\n"
                       "prints the figures of logs and data folders instead (of the program's "
                       "data folder when no path is named), with no window and no display."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions(app::statisticsOptions() + qtWindowOptions());
    // Read once, before the application exists: whether it draws decides which it is.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const bool parsed = parser.parse(arguments);
    const bool statistics = parsed && app::asksForStatistics(parser);
    // A chart is drawn with fonts, on no screen.
    const bool draws = statistics && app::asksForDrawing(parser);
    if (draws) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Drawing into a file needs no session; Qt only wants a runtime folder of the user's.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            const QString runtime =
                QDir::temp().filePath(QStringLiteral("envmeter-runtime-%1").arg(::getuid()));
            QDir().mkpath(runtime);
            QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        }
    }
    const std::unique_ptr<QCoreApplication> app =
        draws ? std::make_unique<QGuiApplication>(argc, argv)
              : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(ENVMETER_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parsed) {
        err << "envmeter: " << parser.errorText() << " (see --help)" << Qt::endl;
        return kBadOptions;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        out << "envmeter " << QCoreApplication::applicationVersion() << Qt::endl;
        return 0;
    }
    QCoreApplication::setApplicationName(QStringLiteral("envmeter"));
    const core::ProgramFiles files = core::runningProgramFiles();
    if (statistics)
        return app::runStatisticsCommand(parser, files.directory, out, err);
    if (!parser.positionalArguments().isEmpty()) {
        err << "envmeter: unexpected argument: " << parser.positionalArguments().constFirst()
            << " (see --help)" << Qt::endl;
        return kBadOptions;
    }
    const QString meterOption = QStringLiteral("meter");
    if (parser.values(meterOption).size() > 1) {
        err << "envmeter: the window opens on one meter: --meter is given twice" << Qt::endl;
        return kBadOptions;
    }
    meterName = parser.value(meterOption);
    if (parser.isSet(meterOption)) {
        // A mistyped name would otherwise open a new meter, empty, in a folder of its own.
        QString fault = core::meterNameFault(meterName);
        if (fault.isEmpty())
            fault = core::unknownMeterFault(meterName, core::settingsFile(), files.directory,
                                            logbook::kLiveLogFile);
        if (!fault.isEmpty()) {
            err << "envmeter: --meter " << meterName << ": " << fault << Qt::endl;
            return kBadOptions;
        }
    }
    for (const char *name : {"from", "to", "tz", "hi", "low", "for", "hysteresis", "events",
                             "chart", "size", "report", "interval", "json", "csv"})
        if (parser.isSet(QLatin1String(name))) {
            err << "envmeter: --" << name << " goes with --statistics (see --help)" << Qt::endl;
            return kBadOptions;
        }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[]) {
    QString meterName;
    if (const std::optional<int> answered = answerOnTerminal(argc, argv, meterName))
        return *answered;
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
    const core::ProgramFiles files = core::runningProgramFiles();
    core::makeDataFolderOnFirstStart(executableDirectory, files);
    meter::QtSerialLine line;
    core::ProgramFiles meterFiles = files;
    core::MeterLine meterLine;
    if (!meterName.isEmpty()) {
        // A folder that cannot be made is said by the start-up, as a log that cannot be read.
        meterFiles.directory = logbook::meterFolder(files.directory, meterName);
        if (meterFiles.directory.isEmpty())
            meterFiles.directory = QDir(files.directory).filePath(meterName);
        meterLine = core::readMeterLine(core::meterSettingsFile(core::settingsFile(), meterName));
        line.setDevice(meterLine.device);
    }
    const core::SystemClock clock;
    app::Program program(meterFiles, clock, nullptr, &line);
    program.setMeterName(meterName);
    core::quitOnTerminationSignals(app);
    program.start();
    if (!meterLine.mistakes.isEmpty())
        QMessageBox::warning(nullptr, QStringLiteral("5710"),
                             meterLine.mistakes.join(u'\n') +
                                 QStringLiteral("\nThe meter is read from the port chosen with "
                                                "Comm Port until the file is put right."));
    // The program's objects end here, the log's writer last writing what it was given.
    return app.exec();
}
