// envmeter-meter-sim: a simulated meter. It sends display frames on a serial line exactly as the
// meter does, from a built-in demo or from a script of readings.
#include "meter/meter_frame.h"
#include "scenario_player.h"
#include "serial_output.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void requestStop(int) { g_stop = 1; }

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a sleeping pacer wakes at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int fail(const QString &message, int code) {
    QTextStream(stderr) << "envmeter-meter-sim: " << message << Qt::endl;
    return code;
}

/// Removes a symbolic link made for the port when the simulator ends.
class PortLink {
  public:
    bool create(const QString &target, const QString &link, QString *error) {
        const QFileInfo existing(link);
        if (existing.exists() || existing.isSymLink()) {
            if (!existing.isSymLink()) {
                *error = QStringLiteral("%1 exists and is not a link; not replacing it").arg(link);
                return false;
            }
            QFile::remove(link);
        }
        if (!QFile::link(target, link)) {
            *error = QStringLiteral("cannot create the link %1").arg(link);
            return false;
        }
        m_link = link;
        return true;
    }
    ~PortLink() {
        if (!m_link.isEmpty())
            QFile::remove(m_link);
    }

  private:
    QString m_link;
};

struct Options {
    QString device; ///< empty: create a pseudo-terminal
    QString link;
    QString script; ///< empty: the built-in demo
    bool loop = false;
    double speed = 1;
    qulonglong frameLimit = 0; ///< 0: no limit
};

/// Exit statuses: a usage error, and a line that cannot be used.
constexpr int kBadOptions = 2;
constexpr int kLineFailed = 1;
/// At the end of a script the program is given this long to read its last reading.
constexpr int kEndPatienceMs = 2000;

/// The command line's options; on a usage error, nothing and the reason in *error. Help and
/// the version are printed here, and end the simulator with exit status 0.
std::optional<Options> parseOptions(const QCoreApplication &app, QString *error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A simulated environment meter: sends its display frames on a serial line at 2400 baud,\n"
        "each display twice, as the meter does: one reading of the program. Without --device it\n"
        "creates a pseudo-terminal and prints the path of the side the program opens as its\n"
        "port. It stops on Ctrl+C or SIGTERM, and at the end of a script played once."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption device(QStringLiteral("device"),
                                    QStringLiteral("Write to this serial device."),
                                    QStringLiteral("path"));
    const QCommandLineOption link(
        QStringLiteral("link"),
        QStringLiteral("Also make a symbolic link to the pseudo-terminal here (removed at exit)."),
        QStringLiteral("path"));
    const QCommandLineOption script(
        QStringLiteral("script"),
        QStringLiteral("Play this script of readings instead of the built-in demo. One reading a "
                       "line: display, function (dB %RH C F LUX), annunciators (RS232 HOLD X10 "
                       "LOBAT), *N for N readings; or 'raw' and hexadecimal bytes. See "
                       "README.md."),
        QStringLiteral("file"));
    const QCommandLineOption loop(QStringLiteral("loop"),
                                  QStringLiteral("Play the script over and over."));
    const QCommandLineOption speed(
        QStringLiteral("speed"),
        QStringLiteral("Line speed as a multiple of 2400 baud (default 1); 0 sends each reading "
                       "as soon as the program has read the one before."),
        QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption frames(QStringLiteral("frames"),
                                    QStringLiteral("Stop sending after this many frames."),
                                    QStringLiteral("count"), QStringLiteral("0"));
    parser.addOptions({device, link, script, loop, speed, frames});
    if (!parser.parse(app.arguments())) {
        *error = parser.errorText() + QStringLiteral(" (see --help)");
        return std::nullopt;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        QTextStream(stdout)
            << (parser.isSet(help)
                    ? parser.helpText()
                    : QStringLiteral("envmeter-meter-sim %1\n").arg(app.applicationVersion()));
        std::exit(0);
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: %1 (see --help)")
                     .arg(parser.positionalArguments().constFirst());
        return std::nullopt;
    }

    Options options{parser.value(device), parser.value(link), parser.value(script),
                    parser.isSet(loop)};
    bool ok = false;
    options.speed = parser.value(speed).toDouble(&ok);
    if (!ok || options.speed < 0)
        *error = QStringLiteral("--speed needs a factor of 0 or more");
    options.frameLimit = parser.value(frames).toULongLong(&ok);
    if (!ok)
        *error = QStringLiteral("--frames needs a count");
    if (!options.device.isEmpty() && !options.link.isEmpty())
        *error = QStringLiteral("--link is for the pseudo-terminal, not for --device");
    return error->isEmpty() ? std::optional(options) : std::nullopt;
}

std::optional<metersim::Script> loadScript(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    metersim::Script script = metersim::parseScript(QString::fromUtf8(file.readAll()));
    if (!script.error.isEmpty())
        *error = path + QStringLiteral(", ") + script.error;
    else if (script.steps.empty())
        *error = path + QStringLiteral(" holds no readings");
    return error->isEmpty() ? std::optional(std::move(script)) : std::nullopt;
}

/// Sends readings until the scenario ends, the frame limit is reached or a stop is requested;
/// unpaced, each once the reader has taken the one before. Returns the readings sent, or
/// nothing when the line failed.
std::optional<qulonglong> sendReadings(metersim::ScenarioPlayer &player,
                                       metersim::SerialOutput &output, const Options &options,
                                       bool *limitReached) {
    metersim::LinePacer pacer(options.speed);
    qulonglong readings = 0;
    qulonglong bytesLeft = options.frameLimit * meter::kFrameLength;
    while (!g_stop && (options.frameLimit == 0 || bytesLeft > 0)) {
        std::optional<QByteArray> bytes = player.next();
        if (!bytes)
            break;
        if (options.frameLimit != 0) {
            bytes->truncate(qsizetype(std::min<qulonglong>(bytesLeft, bytes->size())));
            bytesLeft -= bytes->size();
        }
        if (!output.write(*bytes, pacer, g_stop) ||
            (!pacer.paced() && !output.waitForReader(*bytes, g_stop)))
            return output.error().isEmpty() ? std::optional(readings) : std::nullopt;
        ++readings;
    }
    *limitReached = options.frameLimit != 0 && bytesLeft == 0;
    return readings;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("envmeter-meter-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ENVMETER_VERSION));

    QString error;
    const std::optional<Options> options = parseOptions(app, &error);
    if (!options)
        return fail(error, kBadOptions);
    metersim::ScenarioPlayer player;
    if (!options->script.isEmpty()) {
        std::optional<metersim::Script> script = loadScript(options->script, &error);
        if (!script)
            return fail(error, kBadOptions);
        player = metersim::ScenarioPlayer(std::move(*script), options->loop);
    }

    installStopHandlers();
    const bool usePseudoTerminal = options->device.isEmpty();
    const auto output = usePseudoTerminal
                            ? metersim::SerialOutput::openPseudoTerminal(&error)
                            : metersim::SerialOutput::openDevice(options->device, &error);
    if (!output)
        return fail(error, kLineFailed);
    PortLink link;
    if (!options->link.isEmpty() && !link.create(output->portPath(), options->link, &error))
        return fail(error, kLineFailed);
    if (usePseudoTerminal)
        QTextStream(stdout) << output->portPath() << Qt::endl;

    bool limitReached = false;
    const std::optional<qulonglong> readings =
        sendReadings(player, *output, *options, &limitReached);
    if (!readings)
        return fail(output->error(), kLineFailed);
    if (output->droppedBytes() > 0)
        QTextStream(stderr) << "envmeter-meter-sim: " << output->droppedBytes()
                            << " bytes dropped while nobody was reading" << Qt::endl;
    if (g_stop) {
        QTextStream(stderr) << "envmeter-meter-sim: " << *readings << " readings sent; stopped"
                            << Qt::endl;
        return 0;
    }
    // A pseudo-terminal vanishes with its creator, taking unread bytes with it: the reader
    // gets a moment for the last reading first.
    QTextStream(stderr) << "envmeter-meter-sim: " << *readings << " readings sent, "
                        << (limitReached ? QStringLiteral("the frames asked for")
                                         : QStringLiteral("the end of the script"))
                        << "; ending" << Qt::endl;
    output->drain(g_stop, kEndPatienceMs);
    return 0;
}
