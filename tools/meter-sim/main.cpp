// envmeter-meter-sim: a simulated meter. It sends display frames on a serial line exactly as the
// meter does, from a built-in demo or from a script of readings.
#include "scenario_player.h"
#include "serial_output.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <optional>
#include <unistd.h>

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

/// The command line's options; on a usage error, nothing and the reason in *error.
std::optional<Options> parseOptions(const QCoreApplication &app, QString *error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A simulated environment meter: sends its display frames on a serial line at 2400 baud.\n"
        "Without --device it creates a pseudo-terminal and prints the path of the side the\n"
        "program opens as its port. It stops on Ctrl+C or SIGTERM."));
    parser.addHelpOption();
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
                       "LOBAT), *N to repeat; or 'raw' and hexadecimal bytes. See README.md."),
        QStringLiteral("file"));
    const QCommandLineOption loop(QStringLiteral("loop"),
                                  QStringLiteral("Play the script over and over."));
    const QCommandLineOption speed(
        QStringLiteral("speed"),
        QStringLiteral("Line speed as a multiple of 2400 baud (default 1); 0 sends at once."),
        QStringLiteral("factor"), QStringLiteral("1"));
    const QCommandLineOption frames(QStringLiteral("frames"),
                                    QStringLiteral("Stop sending after this many frames."),
                                    QStringLiteral("count"), QStringLiteral("0"));
    parser.addOptions({device, link, script, loop, speed, frames});
    parser.process(app);

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

/// Sends frames until the scenario ends, the frame limit is reached or a stop is requested.
/// Returns false when the line failed.
bool sendFrames(metersim::ScenarioPlayer &player, metersim::SerialOutput &output,
                const Options &options) {
    metersim::LinePacer pacer(options.speed);
    for (qulonglong sent = 0; !g_stop && (options.frameLimit == 0 || sent < options.frameLimit);
         ++sent) {
        const std::optional<QByteArray> bytes = player.next();
        if (!bytes)
            return true;
        if (!output.write(*bytes, pacer, g_stop))
            return output.error().isEmpty();
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("envmeter-meter-sim"));

    QString error;
    const std::optional<Options> options = parseOptions(app, &error);
    if (!options)
        return fail(error, 2);
    metersim::ScenarioPlayer player;
    if (!options->script.isEmpty()) {
        std::optional<metersim::Script> script = loadScript(options->script, &error);
        if (!script)
            return fail(error, 2);
        player = metersim::ScenarioPlayer(std::move(*script), options->loop);
    }

    installStopHandlers();
    const bool usePseudoTerminal = options->device.isEmpty();
    const auto output = usePseudoTerminal
                            ? metersim::SerialOutput::openPseudoTerminal(&error)
                            : metersim::SerialOutput::openDevice(options->device, &error);
    if (!output)
        return fail(error, 1);
    PortLink link;
    if (!options->link.isEmpty() && !link.create(output->portPath(), options->link, &error))
        return fail(error, 1);
    if (usePseudoTerminal)
        QTextStream(stdout) << output->portPath() << Qt::endl;

    if (!sendFrames(player, *output, *options))
        return fail(output->error(), 1);

    // A pseudo-terminal vanishes with its creator, taking unread bytes with it: keep the line
    // up until told to stop.
    while (usePseudoTerminal && !g_stop)
        usleep(100'000);
    if (output->droppedBytes() > 0)
        QTextStream(stderr) << "envmeter-meter-sim: " << output->droppedBytes()
                            << " bytes dropped while nobody was reading" << Qt::endl;
    return 0;
}
