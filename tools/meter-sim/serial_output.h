#pragma once

#include <QByteArrayView>
#include <QString>

#include <csignal>
#include <cstdint>
#include <ctime>
#include <memory>

namespace metersim {

/// Paces bytes as a serial line does: byte n is due at start + n x byteTime, so the stream
/// never drifts however long it runs. Held up for longer than a byte (a busy or suspended
/// machine), it goes on from then instead of sending the backlog at once: a real line never
/// delivers bytes faster than its rate, and a burst would cost the program readings a real
/// meter never costs it.
class LinePacer {
  public:
    /// speed 1 is the real line (2400 baud, 10 bits a byte: 4.17 ms a byte); 0 sends at once.
    explicit LinePacer(double speed);

    /// Sleeps until the next byte is due. Returns false when a signal interrupted the wait.
    bool waitForNextByte();
    bool paced() const { return m_byteNanoseconds > 0; }

  private:
    double m_byteNanoseconds;
    std::int64_t m_start = 0;
    std::uint64_t m_sent = 0;
};

/// The simulator's end of a serial line: a serial device it writes to, or a pseudo-terminal
/// it creates, whose other side the program opens as its port.
class SerialOutput {
  public:
    /// Opens a serial device (or a pseudo-terminal's program side) and sets it to 2400 8N1 raw.
    static std::unique_ptr<SerialOutput> openDevice(const QString &path, QString *error);
    /// Creates a pseudo-terminal pair; portPath() is the side to give the program.
    static std::unique_ptr<SerialOutput> openPseudoTerminal(QString *error);

    ~SerialOutput();
    SerialOutput(const SerialOutput &) = delete;
    SerialOutput &operator=(const SerialOutput &) = delete;

    QString portPath() const { return m_portPath; }
    std::uint64_t droppedBytes() const { return m_dropped; }

    /// Puts bytes on the line, paced. When nobody takes them and the line's buffer is full, a
    /// paced line drops them as a real one would; an unpaced line waits for room. Returns false
    /// when `stop` was raised or the line failed (see error()).
    bool write(QByteArrayView bytes, LinePacer &pacer, const volatile std::sig_atomic_t &stop);
    QString error() const { return m_error; }

  private:
    SerialOutput(int writeFd, int keepOpenFd, QString portPath);
    bool writeByte(char byte, bool dropWhenFull, const volatile std::sig_atomic_t &stop);

    int m_fd;
    int m_keepOpenFd; ///< the pseudo-terminal's program side, held so its settings stay put
    QString m_portPath;
    std::uint64_t m_dropped = 0;
    QString m_error;
};

} // namespace metersim
