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

    /// Puts bytes on the line: paced, byte by byte, dropping them as a real line would when
    /// nobody takes them and its buffer is full; unpaced, at once, waiting for room. Returns
    /// false when `stop` was raised or the line failed (see error()).
    bool write(QByteArrayView bytes, LinePacer &pacer, const volatile std::sig_atomic_t &stop);
    /// On a pseudo-terminal, waits until less than a reading's bytes wait unread: the reader
    /// took the reading `sent`. Sent again when the reader discarded it unread (the program
    /// clears its input as it opens the line). Returns false when `stop` was raised or the line
    /// failed.
    bool waitForReader(QByteArrayView sent, const volatile std::sig_atomic_t &stop);
    /// Waits until every byte sent has been read, or is out of a serial device, at most
    /// `patienceMs`. Returns false when `stop` was raised or the line failed.
    bool drain(const volatile std::sig_atomic_t &stop, int patienceMs);
    QString error() const { return m_error; }

  private:
    SerialOutput(int writeFd, int keepOpenFd, QString portPath);
    bool writeByte(char byte, const volatile std::sig_atomic_t &stop);
    bool writeAtOnce(QByteArrayView bytes, const volatile std::sig_atomic_t &stop);
    bool waitWhileMoreThan(int bytes, QByteArrayView resent, const volatile std::sig_atomic_t &stop,
                           int patienceMs);
    /// Whether the reader discarded its input since the last call (pseudo-terminals only).
    bool readerDiscarded();

    int m_fd;
    int m_keepOpenFd; ///< the pseudo-terminal's program side, held so its settings stay put
    QString m_portPath;
    std::uint64_t m_dropped = 0;
    QString m_error;
};

} // namespace metersim
