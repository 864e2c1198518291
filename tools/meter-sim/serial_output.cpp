#include "serial_output.h"

#include "frame_encoder.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace metersim {

namespace {

constexpr double kRealByteNanoseconds = 1e9 * 10 / 2400; // start, 8 data and stop bit
// Lateness the pacer makes up by sending sooner; beyond it the schedule starts afresh.
constexpr std::int64_t kCatchUpNanoseconds = 2'000'000;
// How often a waiting simulator looks whether the reader took its bytes.
constexpr int kTakenCheckMs = 5;

std::int64_t monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

QString systemError(const QString &what) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

/// 2400 baud, 8 data bits, no parity, 1 stop bit, raw bytes, no echo.
bool setLineSettings(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL;
    cfsetispeed(&settings, B2400);
    cfsetospeed(&settings, B2400);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

LinePacer::LinePacer(double speed)
    : m_byteNanoseconds(speed > 0 ? kRealByteNanoseconds / speed : 0.0) {}

bool LinePacer::waitForNextByte() {
    if (m_byteNanoseconds <= 0)
        return true;
    const std::int64_t now = monotonicNow();
    if (m_sent == 0)
        m_start = now;
    auto due = m_start + std::llround(static_cast<double>(m_sent) * m_byteNanoseconds);
    if (now - due > std::max<std::int64_t>(kCatchUpNanoseconds, std::llround(m_byteNanoseconds))) {
        m_start = due = now;
        m_sent = 0;
    }
    const timespec until{static_cast<time_t>(due / 1'000'000'000),
                         static_cast<long>(due % 1'000'000'000)};
    if (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR)
        return false;
    ++m_sent;
    return true;
}

SerialOutput::SerialOutput(int writeFd, int keepOpenFd, QString portPath)
    : m_fd(writeFd), m_keepOpenFd(keepOpenFd), m_portPath(std::move(portPath)) {}

SerialOutput::~SerialOutput() {
    ::close(m_fd);
    if (m_keepOpenFd >= 0)
        ::close(m_keepOpenFd);
}

std::unique_ptr<SerialOutput> SerialOutput::openDevice(const QString &path, QString *error) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = systemError(QStringLiteral("cannot open %1").arg(path));
        return nullptr;
    }
    if (isatty(fd) && !setLineSettings(fd)) {
        *error = systemError(QStringLiteral("cannot set 2400,n,8,1 on %1").arg(path));
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<SerialOutput>(new SerialOutput(fd, -1, path));
}

std::unique_ptr<SerialOutput> SerialOutput::openPseudoTerminal(QString *error) {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        *error = systemError(QStringLiteral("cannot create a pseudo-terminal"));
        return nullptr;
    }
    // Raw and without echo before anyone opens it, so nothing the program has not read yet
    // is echoed back or mangled. In packet mode the simulator learns when the reader discards
    // its input.
    int packetMode = 1;
    if (!setLineSettings(slave) || ioctl(master, TIOCPKT, &packetMode) != 0 ||
        fcntl(master, F_SETFL, O_NONBLOCK) != 0 || fcntl(master, F_SETFD, FD_CLOEXEC) != 0 ||
        fcntl(slave, F_SETFD, FD_CLOEXEC) != 0) {
        *error = systemError(QStringLiteral("cannot set up the pseudo-terminal"));
        ::close(master);
        ::close(slave);
        return nullptr;
    }
    return std::unique_ptr<SerialOutput>(
        new SerialOutput(master, slave, QString::fromLocal8Bit(name)));
}

bool SerialOutput::write(QByteArrayView bytes, LinePacer &pacer,
                         const volatile std::sig_atomic_t &stop) {
    if (!pacer.paced())
        return writeAtOnce(bytes, stop);
    for (const char byte : bytes) {
        if (stop || !pacer.waitForNextByte() || !writeByte(byte, stop))
            return false;
    }
    return !stop;
}

bool SerialOutput::writeByte(char byte, const volatile std::sig_atomic_t &stop) {
    while (!stop) {
        const ssize_t written = ::write(m_fd, &byte, 1);
        if (written == 1)
            return true;
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            ++m_dropped;
            return true;
        }
        m_error = systemError(QStringLiteral("cannot write to %1").arg(m_portPath));
        return false;
    }
    return false;
}

bool SerialOutput::writeAtOnce(QByteArrayView bytes, const volatile std::sig_atomic_t &stop) {
    // In one piece where the line takes it, so it reaches the reader's side in one go.
    while (!bytes.isEmpty() && !stop) {
        const ssize_t written = ::write(m_fd, bytes.data(), size_t(bytes.size()));
        if (written > 0) {
            bytes = bytes.sliced(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd room{m_fd, POLLOUT, 0};
            poll(&room, 1, 200);
            continue;
        }
        m_error = systemError(QStringLiteral("cannot write to %1").arg(m_portPath));
        return false;
    }
    return !stop;
}

bool SerialOutput::waitForReader(QByteArrayView sent, const volatile std::sig_atomic_t &stop) {
    return waitWhileMoreThan(kReadingBytes - 1, sent, stop, -1);
}

bool SerialOutput::drain(const volatile std::sig_atomic_t &stop, int patienceMs) {
    if (m_keepOpenFd < 0)
        return tcdrain(m_fd) == 0 || !isatty(m_fd);
    return waitWhileMoreThan(0, {}, stop, patienceMs);
}

bool SerialOutput::waitWhileMoreThan(int bytes, QByteArrayView resent,
                                     const volatile std::sig_atomic_t &stop, int patienceMs) {
    if (m_keepOpenFd < 0)
        return true;
    const std::int64_t giveUpAt = monotonicNow() + std::int64_t{patienceMs} * 1'000'000;
    while (!stop) {
        if (readerDiscarded() && !resent.isEmpty() && !writeAtOnce(resent, stop))
            return false;
        // Bytes written travel to the reader's side a moment later; asking it for input makes
        // the system move them there first, so they are counted.
        pollfd arrived{m_keepOpenFd, POLLIN, 0};
        poll(&arrived, 1, 0);
        int waiting = 0;
        if (ioctl(m_keepOpenFd, FIONREAD, &waiting) != 0 || waiting <= bytes)
            return true;
        if (patienceMs >= 0 && monotonicNow() >= giveUpAt)
            return true;
        pollfd status{m_fd, POLLPRI | POLLIN, 0};
        poll(&status, 1, kTakenCheckMs);
    }
    return false;
}

bool SerialOutput::readerDiscarded() {
    bool discarded = false;
    unsigned char packet[64];
    while (::read(m_fd, packet, sizeof packet) > 0)
        discarded = discarded || (packet[0] & TIOCPKT_FLUSHREAD) != 0;
    return discarded;
}

} // namespace metersim
