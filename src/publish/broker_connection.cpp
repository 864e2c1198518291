#include "publish/broker_connection.h"

#include "publish/record_message.h"

#include <QElapsedTimer>
#include <QFile>

#include <mosquitto.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <unistd.h>

namespace publish {

namespace {

constexpr int kKeepAliveSeconds = 30;

void initialiseLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QByteArray utf8(const QString &text) { return text.toUtf8(); }

/// libmosquitto's text for going on inside a sentence: without its full stop.
QString sentence(const char *text) {
    QString s = QString::fromUtf8(text);
    while (s.endsWith(u'.'))
        s.chop(1);
    return s;
}

} // namespace

BrokerConnection::BrokerConnection(const PublishSettings &settings, const QString &clientId,
                                   std::function<void(int)> acknowledged, LastWill will)
    : m_settings(settings), m_acknowledged(std::move(acknowledged)) {
    initialiseLibrary();
    m_client = mosquitto_new(utf8(clientId).constData(), true, this);
    if (!m_client) {
        m_setupFailure = QStringLiteral("the MQTT client cannot be made (%1)")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    mosquitto_int_option(m_client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(m_client, [](mosquitto *, void *self, int rc) {
        auto *connection = static_cast<BrokerConnection *>(self);
        connection->m_connack = rc;
        connection->m_connected = rc == 0;
    });
    mosquitto_disconnect_callback_set(m_client, [](mosquitto *, void *self, int) {
        static_cast<BrokerConnection *>(self)->m_connected = false;
    });
    mosquitto_publish_callback_set(m_client, [](mosquitto *, void *self, int mid) {
        auto *connection = static_cast<BrokerConnection *>(self);
        if (connection->m_acknowledged)
            connection->m_acknowledged(mid);
    });
    mosquitto_subscribe_callback_set(m_client, [](mosquitto *, void *self, int, int, const int *) {
        ++static_cast<BrokerConnection *>(self)->m_subscribed;
    });
    mosquitto_message_callback_set(
        m_client, [](mosquitto *, void *self, const mosquitto_message *message) {
            auto *connection = static_cast<BrokerConnection *>(self);
            if (connection->m_received)
                connection->m_received(QString::fromUtf8(message->topic), message->retain,
                                       message->payloadlen == 0);
        });
    mosquitto_log_callback_set(m_client, [](mosquitto *, void *self, int level, const char *text) {
        if (level == MOSQ_LOG_ERR)
            static_cast<BrokerConnection *>(self)->m_logged = QString::fromUtf8(text);
    });
    if (!m_settings.username.isEmpty())
        mosquitto_username_pw_set(
            m_client, utf8(m_settings.username).constData(),
            m_settings.password.isEmpty() ? nullptr : utf8(m_settings.password).constData());
    if (will == LastWill::Offline) {
        const QByteArray status = utf8(statusTopic(m_settings));
        mosquitto_will_set(m_client, status.constData(), 7, "offline", 1, true);
    }
    if (!m_settings.tls)
        return;
    int rc = MOSQ_ERR_SUCCESS;
    if (m_settings.caFile.isEmpty())
        rc = mosquitto_int_option(m_client, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
    else if (!QFile::exists(m_settings.caFile))
        m_setupFailure = QStringLiteral("the CA file %1 does not exist").arg(m_settings.caFile);
    else
        rc = mosquitto_tls_set(m_client, QFile::encodeName(m_settings.caFile).constData(), nullptr,
                               nullptr, nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS)
        m_setupFailure = QStringLiteral("TLS cannot be set up: %1").arg(reason(rc));
}

BrokerConnection::~BrokerConnection() {
    if (m_client)
        mosquitto_destroy(m_client);
}

QString BrokerConnection::connect(int timeoutMs, const std::atomic<bool> *cancelled) {
    if (!m_setupFailure.isEmpty())
        return m_failure = m_setupFailure;
    if (m_settings.host.isEmpty())
        return m_failure = QStringLiteral("no broker is set");
    m_connack = -1;
    m_connected = false;
    m_logged.clear();
    int rc = mosquitto_connect_async(m_client, utf8(m_settings.host).constData(),
                                     m_settings.brokerPort(), kKeepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS)
        return m_failure = reason(rc);
    QElapsedTimer waited;
    waited.start();
    while (m_connack < 0 && waited.elapsed() < timeoutMs && !(cancelled && *cancelled)) {
        rc = serve(50, -1);
        // A refusal closes the connection with its reason given.
        if (rc != MOSQ_ERR_SUCCESS && m_connack < 0)
            return m_failure = reason(rc);
    }
    if (m_connack < 0) {
        mosquitto_disconnect(m_client);
        return m_failure = QStringLiteral("the broker did not answer within %1 seconds")
                               .arg(timeoutMs / 1000);
    }
    if (m_connack != 0)
        return m_failure = QStringLiteral("the broker refused the connection (%1)")
                               .arg(sentence(mosquitto_connack_string(m_connack)));
    m_failure.clear();
    return {};
}

bool BrokerConnection::loop(int timeoutMs, int wakeFd) {
    const int rc = serve(timeoutMs, wakeFd);
    if (rc == MOSQ_ERR_SUCCESS && m_connected)
        return true;
    m_connected = false;
    m_failure =
        rc == MOSQ_ERR_SUCCESS ? QStringLiteral("the broker closed the connection") : reason(rc);
    return false;
}

int BrokerConnection::serve(int timeoutMs, int wakeFd) {
    const int socket = mosquitto_socket(m_client);
    if (socket < 0)
        return MOSQ_ERR_NO_CONN;
    pollfd waits[2] = {
        {socket, short(POLLIN | (mosquitto_want_write(m_client) ? POLLOUT : 0)), 0},
        {wakeFd, POLLIN, 0},
    };
    if (poll(waits, wakeFd < 0 ? 1 : 2, timeoutMs) < 0 && errno != EINTR)
        return MOSQ_ERR_ERRNO;
    if (wakeFd >= 0 && (waits[1].revents & POLLIN)) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t drained = ::read(wakeFd, &count, sizeof count);
    }
    int rc = MOSQ_ERR_SUCCESS;
    if (waits[0].revents & (POLLIN | POLLHUP | POLLERR))
        rc = mosquitto_loop_read(m_client, 1);
    if (rc == MOSQ_ERR_SUCCESS && (waits[0].revents & POLLOUT))
        rc = mosquitto_loop_write(m_client, 1);
    if (rc == MOSQ_ERR_SUCCESS)
        rc = mosquitto_loop_misc(m_client);
    return rc;
}

int BrokerConnection::publish(const QString &topic, const QByteArray &payload, bool retain) {
    int mid = 0;
    const int rc = mosquitto_publish(m_client, &mid, utf8(topic).constData(), int(payload.size()),
                                     payload.constData(), 1, retain);
    return issued(rc, mid);
}

int BrokerConnection::subscribe(const QString &pattern) {
    int mid = 0;
    const int rc = mosquitto_subscribe(m_client, &mid, utf8(pattern).constData(), 1);
    return issued(rc, mid);
}

int BrokerConnection::issued(int rc, int mid) {
    if (rc == MOSQ_ERR_SUCCESS)
        return mid;
    m_connected = false;
    m_failure = reason(rc);
    return -1;
}

void BrokerConnection::disconnect(const QString &statusTopic) {
    if (!m_connected)
        return;
    // The goodbye and the leaving go out before the client is gone.
    const auto flush = [this] {
        for (int i = 0; i < 10 && mosquitto_want_write(m_client); ++i)
            serve(20, -1);
    };
    if (!statusTopic.isEmpty()) {
        publish(statusTopic, QByteArrayLiteral("offline"), true);
        flush();
    }
    mosquitto_disconnect(m_client);
    flush();
    m_connected = false;
}

QString tryBroker(const PublishSettings &settings, int timeoutMs) {
    BrokerConnection broker(settings, QStringLiteral("envmeter-test-%1").arg(::getpid()));
    if (const QString why = broker.connect(timeoutMs); !why.isEmpty())
        return QStringLiteral("Could not connect to %1: %2.").arg(settings.broker(), why);
    // Whoever publishes keeps the status as it is.
    broker.disconnect({});
    return QStringLiteral("Connected to %1: publishing works.").arg(settings.broker());
}

QString BrokerConnection::reason(int rc) const {
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (rc == MOSQ_ERR_EAI)
        return QStringLiteral("the host %1 is not found").arg(m_settings.host);
    if (rc == MOSQ_ERR_TLS || rc == MOSQ_ERR_TLS_HANDSHAKE)
        return m_logged.isEmpty() ? QStringLiteral("the TLS handshake failed")
                                  : QStringLiteral("TLS failed: %1").arg(m_logged);
    if (rc == MOSQ_ERR_CONN_LOST || rc == MOSQ_ERR_NO_CONN)
        return QStringLiteral("the connection was lost");
    return sentence(mosquitto_strerror(rc));
}

} // namespace publish
