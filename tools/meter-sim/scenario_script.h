#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

namespace metersim {

/// Bytes to put on the line, `repeat` times in a row: a display's reading, or raw bytes.
struct ScriptStep {
    QByteArray bytes;
    int repeat = 1;
};

struct Script {
    std::vector<ScriptStep> steps;
    QString error; ///< "line N: what is wrong" when the text could not be read; steps empty
};

/// Reads a script of readings, one a line:
///
///     # a comment; blank lines are skipped
///     73.40 dB RS232          a display, its function and annunciators: one reading
///     _23.5 C *20             the same reading 20 times
///     -1.5 C HOLD LOBAT
///     O.L_ LUX                the light overload
///     raw 11 21 35 41 5F 6A   these bytes exactly (hexadecimal), for broken frames
///
/// The display is an optional "-" and up to four cells ('0'..'9', 'O', 'L', '_' for a blank)
/// with points between them, right-aligned. Then, in any order and any case: the functions dB,
/// %RH, C, F, LUX (several may be lit at once), the annunciators RS232, HOLD, X10, LOBAT, and
/// "*N" to send the reading N times.
Script parseScript(QStringView text);

} // namespace metersim
