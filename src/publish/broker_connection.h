#pragma once

#include "publish/publish_settings.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

struct mosquitto;

namespace publish {

/// One client of the broker the settings name, over libmosquitto, driven by whoever owns it on
/// one thread: connecting, the network's work (loop), publishing at QoS 1 and the broker's
/// acknowledgements. Its last will makes the status "offline" when it goes away unasked.
class BrokerConnection {
  public:
    /// Whether the broker makes the status "offline" when the connection goes away unasked.
    enum class LastWill { Offline, None };
    /// A message the broker sent to a subscription: its topic, whether it was retained, and
    /// whether it says anything (an empty one clears what was retained).
    using Received = std::function<void(const QString &topic, bool retained, bool empty)>;

    /// `acknowledged` is told of each message the broker took, by the id publish() gave it.
    BrokerConnection(const PublishSettings &settings, const QString &clientId,
                     std::function<void(int)> acknowledged = {}, LastWill will = LastWill::Offline);
    ~BrokerConnection();
    BrokerConnection(const BrokerConnection &) = delete;
    BrokerConnection &operator=(const BrokerConnection &) = delete;

    /// Connects and waits for the broker's answer, at most `timeoutMs` and only while
    /// `cancelled` (where given) stays false. Returns why it failed, in words for the user;
    /// empty once connected.
    QString connect(int timeoutMs, const std::atomic<bool> *cancelled = nullptr);
    bool isConnected() const { return m_connected; }
    /// The network's work, waiting up to `timeoutMs` for the broker or for `wakeFd` (an
    /// eventfd, drained here; -1 for none). False, with lastFailure() said, when the
    /// connection is lost.
    bool loop(int timeoutMs, int wakeFd = -1);
    /// Queues a message at QoS 1; its id, or -1 when the connection is gone.
    int publish(const QString &topic, const QByteArray &payload, bool retain);
    /// Where the messages of subscriptions are told.
    void setReceivedHandler(Received received) { m_received = std::move(received); }
    /// Subscribes to the topics `pattern` matches; the id of the subscription, or -1 when the
    /// connection is gone. subscribed() counts the broker's answers.
    int subscribe(const QString &pattern);
    int subscribed() const { return m_subscribed; }
    /// Says "offline" on the status topic (where one is given) and leaves the broker.
    void disconnect(const QString &statusTopic);
    const QString &lastFailure() const { return m_failure; }

  private:
    /// A request handed to the client: its message id, or -1 with the connection taken as lost.
    int issued(int rc, int mid);
    /// One wait for the socket or the wake and the work it brings; libmosquitto's result.
    int serve(int timeoutMs, int wakeFd);
    QString reason(int rc) const;

    PublishSettings m_settings;
    mosquitto *m_client = nullptr;
    std::function<void(int)> m_acknowledged;
    Received m_received;
    int m_subscribed = 0;
    QString m_setupFailure;
    QString m_failure;
    QString m_logged; ///< libmosquitto's last error text (TLS says why only there)
    int m_connack = -1;
    bool m_connected = false;
};

/// Connects to the broker the settings name and leaves again: what happened, in words for the
/// user. Waits up to `timeoutMs`.
QString tryBroker(const PublishSettings &settings, int timeoutMs);

} // namespace publish
