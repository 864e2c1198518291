#include "display_text.h"

#include <QList>

#include <algorithm>
#include <cmath>

namespace metersim {

std::optional<Display> parseDisplayText(QStringView text, QString *error) {
    Display display;
    if (text.startsWith(u'-')) {
        display.minus = true;
        text = text.mid(1);
    }

    QString cells;
    QList<qsizetype> pointsBefore; // index of the cell that follows each point
    for (const QChar c : text) {
        if (c == u'.') {
            pointsBefore.append(cells.size());
        } else if (c == u'_') {
            cells += u' ';
        } else if (c.unicode() < 128 && c != u' ' && isDisplayCell(char(c.unicode()))) {
            cells += c;
        } else {
            *error = QStringLiteral("'%1' is not a display cell (0-9, O, L, _)").arg(c);
            return std::nullopt;
        }
    }
    if (cells.isEmpty() || cells.size() > 4) {
        *error = QStringLiteral("a display has 1 to 4 cells, '%1' has %2")
                     .arg(text.toString())
                     .arg(cells.size());
        return std::nullopt;
    }

    const qsizetype shift = 4 - cells.size();
    for (qsizetype i = 0; i < cells.size(); ++i)
        display.cells[static_cast<std::size_t>(shift + i)] = char(cells[i].unicode());
    for (const qsizetype before : pointsBefore) {
        const qsizetype cell = shift + before + 1; // 1-based cell the point precedes
        if (cell == 3 && !display.pointBefore3) {
            display.pointBefore3 = true;
        } else if (cell == 4 && !display.pointBefore4) {
            display.pointBefore4 = true;
        } else {
            *error = QStringLiteral("'%1': a point can only stand before cell 3 or cell 4")
                         .arg(text.toString());
            return std::nullopt;
        }
    }
    return display;
}

Display displayOfValue(double value, int decimals) {
    const double largest = (std::pow(10.0, 4) - 1) / std::pow(10.0, decimals);
    const double shown = std::clamp(value, -largest, largest);
    // Fewer than four digits are right-aligned, which blanks the leading cells.
    QString text = QString::number(std::abs(shown), 'f', decimals);
    if (shown < 0)
        text.prepend(u'-');
    QString error;
    return *parseDisplayText(text, &error);
}

} // namespace metersim
