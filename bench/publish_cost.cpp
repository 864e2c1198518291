// What publishing costs and how fast it is, against a real Mosquitto broker on 127.0.0.1:
// - the latency from a reading to a subscriber: envmeter-logger reads a pseudo-terminal at the
//   meter's line rate, each reading's value its own number, and a subscriber notes when each
//   arrives; the latency runs from the reading's last byte on the line to its arrival (median,
//   worst, and how many arrived);
// - in the same run, with interval=10, how long after its interval's end each state arrives
//   (median, worst, how many);
// - the catch-up rate: a log of 10,000 records that the broker has not seen, published from the
//   first (as after an outage), timed until the subscriber has them all.
// Usage: publish_cost [seconds at the line rate (60)] [records to catch up (10000)]

#include "filled_log.h"
#include "mqtt_broker.h"
#include "scenario_script.h"
#include "serial_output.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <mosquitto.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

/// A subscriber of its own on the meter's topics: when each record's text first arrived.
class Subscriber {
  public:
    explicit Subscriber(int port) {
        mosquitto_lib_init();
        m_client = mosquitto_new(nullptr, true, this);
        mosquitto_message_callback_set(
            m_client, [](mosquitto *, void *self, const mosquitto_message *message) {
                static_cast<Subscriber *>(self)->arrived(message);
            });
        mosquitto_connect_callback_set(m_client, [](mosquitto *client, void *, int) {
            mosquitto_subscribe(client, nullptr, "envmeter/bench/+", 1);
            mosquitto_subscribe(client, nullptr, "envmeter/bench/+/state", 1);
        });
        mosquitto_connect(m_client, "127.0.0.1", port, 30);
        mosquitto_loop_start(m_client);
    }
    ~Subscriber() {
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, false);
        mosquitto_destroy(m_client);
    }
    /// Arrival times by the record's text.
    std::map<QString, Clock::time_point> arrivals() {
        const std::lock_guard lock(m_mutex);
        return m_arrivals;
    }
    std::size_t count() {
        const std::lock_guard lock(m_mutex);
        return m_arrivals.size();
    }
    /// Seconds from each state's interval end to its arrival.
    std::vector<double> stateDelays() {
        const std::lock_guard lock(m_mutex);
        return m_stateDelays;
    }

  private:
    void arrived(const mosquitto_message *message) {
        const auto now = Clock::now();
        if (QByteArray(message->topic).endsWith("/state")) {
            const QJsonObject state =
                QJsonDocument::fromJson(
                    QByteArray(static_cast<const char *>(message->payload), message->payloadlen))
                    .object();
            const QDateTime end =
                QDateTime::fromString(state[QStringLiteral("end")].toString(), Qt::ISODate);
            const std::lock_guard lock(m_mutex);
            m_stateDelays.push_back(
                double(QDateTime::currentMSecsSinceEpoch() - end.toMSecsSinceEpoch()) / 1000);
            return;
        }
        static const QRegularExpression text(
            QStringLiteral("\"record\": (\\d+).*\"text\": \"([^\"]*)\""));
        const QRegularExpressionMatch m = text.match(
            QString::fromUtf8(static_cast<const char *>(message->payload), message->payloadlen));
        if (!m.hasMatch())
            return;
        const std::lock_guard lock(m_mutex);
        m_arrivals.try_emplace(m.captured(2) + u'#' + m.captured(1), now);
    }

    mosquitto *m_client;
    std::mutex m_mutex;
    std::map<QString, Clock::time_point> m_arrivals;
    std::vector<double> m_stateDelays;
};

void writeSettings(const QString &folder, int port) {
    QDir().mkpath(folder + "/config/envmeter");
    writeFile(folder + "/config/envmeter/envmeter.conf",
              QStringLiteral("[mqtt]\nenabled=true\nhost=127.0.0.1\nport=%1\nmeter=bench\n"
                             "interval=10\n")
                  .arg(port)
                  .toUtf8());
}

void latency(double seconds) {
    QTemporaryDir dir;
    filledLog(dir.path(), 0);
    MqttBroker broker(dir.path());
    writeSettings(dir.path(), broker.port());
    Subscriber subscriber(broker.port());
    QString error;
    const auto line = metersim::SerialOutput::openPseudoTerminal(&error);
    QProcess logger;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    logger.setProcessEnvironment(environment);
    logger.start(ENVMETER_LOGGER, {"--device", line->portPath(), "--data", dir.path()});
    QByteArray said;
    for (int i = 0; i < 100 && !said.contains("Publishing to"); ++i) {
        logger.waitForReadyRead(100);
        said += logger.readAllStandardError();
    }

    // Each reading's value is its own number, so that its arrival names it.
    const int events = int(seconds * 2400 / 10 / 28);
    std::vector<Clock::time_point> sent(std::size_t(events + 1));
    metersim::LinePacer pacer(1);
    const volatile std::sig_atomic_t never = 0;
    for (int n = 1; n <= events; ++n) {
        const QByteArray reading =
            metersim::parseScript(QStringLiteral("%1 C").arg(n)).steps.front().bytes;
        line->write(reading, pacer, never);
        sent[std::size_t(n)] = Clock::now();
    }
    QThread::msleep(2000);
    logger.terminate();
    logger.waitForFinished();

    std::vector<double> ms;
    for (const auto &[key, at] : subscriber.arrivals()) {
        const int n = key.section(u'#', 0, 0).toInt();
        if (n >= 1 && n <= events)
            ms.push_back(
                std::chrono::duration<double, std::milli>(at - sent[std::size_t(n)]).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-58s %d of %d readings\n", "arrived at the subscriber, line rate", int(ms.size()),
                events);
    if (!ms.empty())
        std::printf("%-58s %.1f ms median, %.1f ms worst\n",
                    "latency from the reading's last byte to the subscriber", ms[ms.size() / 2],
                    ms.back());
    std::vector<double> delays = subscriber.stateDelays();
    std::sort(delays.begin(), delays.end());
    if (!delays.empty())
        std::printf("%-58s %.0f ms median, %.0f ms worst, %zu states\n",
                    "a state after its interval's end (interval=10)",
                    1000 * delays[delays.size() / 2], 1000 * delays.back(), delays.size());
}

void catchUp(int records) {
    QTemporaryDir dir;
    filledLog(dir.path(), records);
    // Acknowledged: nothing yet, so every record of the log is to go.
    writeFile(dir.filePath("envmeter-published"), "-1\t\n");
    MqttBroker broker(dir.path());
    writeSettings(dir.path(), broker.port());
    Subscriber subscriber(broker.port());
    QThread::msleep(300);
    QElapsedTimer elapsed;
    QProcess logger;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    logger.setProcessEnvironment(environment);
    // No line to read: it only publishes what the log holds.
    logger.start(ENVMETER_LOGGER, {"--device", dir.filePath("nothing"), "--data", dir.path()});
    elapsed.start();
    while (subscriber.count() < std::size_t(records) && elapsed.elapsed() < 120000)
        QThread::msleep(20);
    const double secs = elapsed.elapsed() / 1000.0;
    logger.terminate();
    logger.waitForFinished();
    std::printf("%-58s %zu records in %.2f s: %.0f records/s\n",
                qPrintable(QStringLiteral("catch-up of %1 records after an outage").arg(records)),
                subscriber.count(), secs, double(subscriber.count()) / secs);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    latency(argc > 1 ? std::atof(argv[1]) : 60);
    catchUp(argc > 2 ? std::atoi(argv[2]) : 10000);
    return 0;
}
