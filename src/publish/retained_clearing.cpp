#include "publish/retained_clearing.h"

#include "publish/broker_connection.h"
#include "publish/record_message.h"

#include <QElapsedTimer>

#include <set>

#include <unistd.h>

namespace publish {

namespace {

/// The broker sends what it keeps right after it answers a subscription: once that has been
/// quiet this long, all of it has come.
constexpr int kQuietMs = 500;

} // namespace

ClearedMeter clearRetained(const PublishSettings &settings, int timeoutMs) {
    ClearedMeter cleared;
    std::set<int> unacknowledged;
    BrokerConnection broker(
        settings, QStringLiteral("envmeter-clear-%1").arg(::getpid()),
        [&unacknowledged](int mid) { unacknowledged.erase(mid); },
        BrokerConnection::LastWill::None);
    if (const QString why = broker.connect(timeoutMs); !why.isEmpty()) {
        cleared.failure = QStringLiteral("%1 cannot be reached: %2").arg(settings.broker(), why);
        return cleared;
    }
    const QString meterTopics = settings.prefix + u'/' + settings.meterName() + u'/';
    const QString statuses = settings.prefix + QStringLiteral("/+/status");
    std::set<QString> others;
    QElapsedTimer quiet;
    quiet.start();
    broker.setReceivedHandler([&](const QString &topic, bool retained, bool empty) {
        quiet.restart();
        if (!retained || empty)
            return;
        if (topic.startsWith(meterTopics) || !topic.startsWith(settings.prefix + u'/')) {
            if (!cleared.topics.contains(topic))
                cleared.topics.append(topic);
        } else if (topic.endsWith(QStringLiteral("/status"))) {
            others.insert(topic.section(u'/', -2, -2));
        }
    });
    const QStringList patterns{
        meterTopics + u'#', QStringLiteral("homeassistant/+/%1/#").arg(discoveryDevice(settings)),
        statuses};
    for (const QString &pattern : patterns)
        if (broker.subscribe(pattern) < 0) {
            cleared.failure = broker.lastFailure();
            return cleared;
        }
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs &&
           (broker.subscribed() < patterns.size() || quiet.elapsed() < kQuietMs))
        if (!broker.loop(50)) {
            cleared.failure = broker.lastFailure();
            return cleared;
        }
    if (broker.subscribed() < patterns.size()) {
        cleared.failure = QStringLiteral("%1 did not answer within %2 seconds")
                              .arg(settings.broker())
                              .arg(timeoutMs / 1000);
        return cleared;
    }

    cleared.others = QStringList(others.begin(), others.end());

    // An empty retained message takes the kept one away.
    for (const QString &topic : cleared.topics)
        if (const int mid = broker.publish(topic, {}, true); mid >= 0)
            unacknowledged.insert(mid);
    waited.restart();
    while (!unacknowledged.empty() && waited.elapsed() < timeoutMs && broker.loop(50)) {
    }
    if (!unacknowledged.empty())
        cleared.failure =
            QStringLiteral("%1 did not take every message that clears: %2 of %3 are not confirmed")
                .arg(settings.broker())
                .arg(unacknowledged.size())
                .arg(cleared.topics.size());
    broker.disconnect({});
    return cleared;
}

} // namespace publish
