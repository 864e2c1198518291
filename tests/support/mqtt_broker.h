#pragma once

// A real Mosquitto broker on 127.0.0.1, on a port of its own, and a subscriber to it, for tests
// and benchmarks: nothing leaves the machine.

#include "test_files.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

/// A port nobody listens on now.
inline int freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &size);
    ::close(s);
    return ntohs(address.sin_port);
}

/// mosquitto with a configuration of its own in `folder`: `extra` adds lines to its listener
/// (a password file, TLS). Messages for a subscriber that keeps its session outlive a restart.
class MqttBroker {
  public:
    MqttBroker(const QString &folder, const QString &extra = {}) : m_folder(folder) {
        m_port = freePort();
        writeFile(m_folder + "/mosquitto.conf",
                  // Run by root, it stays root: its files are the test's.
                  QStringLiteral("user %4\nlistener %1 127.0.0.1\n%2\npersistence true\n"
                                 "persistence_location %3/\n")
                      .arg(m_port)
                      .arg(extra.isEmpty() ? QStringLiteral("allow_anonymous true") : extra,
                           m_folder, QString::fromLocal8Bit(::getpwuid(::getuid())->pw_name))
                      .toUtf8());
        start();
    }
    ~MqttBroker() { stop(); }
    int port() const { return m_port; }
    /// Started, and listening.
    bool start() {
        m_process.start(QStringLiteral("/usr/sbin/mosquitto"),
                        {"-c", m_folder + "/mosquitto.conf"});
        for (int i = 0; i < 100 && m_process.state() != QProcess::NotRunning; ++i) {
            if (listening())
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    void stop() {
        m_process.terminate();
        m_process.waitForFinished();
    }

  private:
    bool listening() const {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(quint16(m_port));
        const bool connected =
            ::connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        ::close(s);
        return connected;
    }

    QString m_folder;
    int m_port = 0;
    QProcess m_process;
};

/// mosquitto_sub on the broker, keeping its session across the broker's restarts: each
/// message as "topic payload".
class MqttSubscriber {
  public:
    MqttSubscriber(int port, const QString &topics, const QStringList &extra = {}) {
        // A session of its own: a client taking the id of another one would throw it out.
        static int made = 0;
        m_process.start(QStringLiteral("mosquitto_sub"),
                        QStringList{"-h", "127.0.0.1", "-p", QString::number(port), "-t", topics,
                                    "-v", "-q", "1", "-c", "-i",
                                    QStringLiteral("sub%1-%2").arg(::getpid()).arg(++made)} +
                            extra);
        m_process.waitForStarted();
    }
    ~MqttSubscriber() {
        m_process.terminate();
        m_process.waitForFinished();
    }
    /// Every message so far.
    const QStringList &messages() {
        for (const QByteArray &line : m_process.readAllStandardOutput().split('\n'))
            if (!line.isEmpty())
                m_messages.append(QString::fromUtf8(line));
        return m_messages;
    }

  private:
    QProcess m_process;
    QStringList m_messages;
};
