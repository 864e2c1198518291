#include "fake_serial_line.h"

namespace meter {

bool FakeSerialLine::setSettings(const QString &settings) {
    if (!parseLineSettings(settings))
        return false;
    m_settings = settings;
    return true;
}

bool FakeSerialLine::open() {
    if (m_refuse) {
        m_refuse = false;
        return false;
    }
    m_open = true;
    ++m_opens;
    return true;
}

QByteArray FakeSerialLine::readAll() {
    QByteArray bytes;
    bytes.swap(m_waiting);
    return bytes;
}

void FakeSerialLine::deliver(const QByteArray &bytes) {
    if (!m_open)
        return;
    m_waiting += bytes;
    if (m_waiting.size() >= m_threshold)
        raiseReceive();
}

} // namespace meter
