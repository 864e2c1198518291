#pragma once

#include "log/record_window.h"

#include <QString>

#include <array>
#include <span>

namespace report {

class Printer;

inline const QString kReportTitle = QStringLiteral("Vadarazozaz Uvovir Report");
/// Rows of a list page.
inline constexpr int kListRows = 28;

/// A number as the printer writes numbers: a blank in place of a plus sign, and one after.
QString printStyle(qint32 number);

/// A4 portrait, Arial 24 bold, and the title at the top of the page. Bold stays on.
void printPageSetUp(Printer &printer);

/// One list page: title, column heads and rule, then up to 28 records from `first` on, the
/// page ended as a job of its own. Returns the index after the last record printed.
int printListPage(Printer &printer, std::span<const logbook::LogRecord> records, int first);

/// What the graph page takes from the chart and the displays, as they stand on the screen.
struct GraphTexts {
    QString vertMax;
    QString vertMin;
    std::array<QString, 9> valueLabels;
    std::array<QString, 16> timeLabels;
    QString function; ///< the function display
    QString unit;     ///< the unit box
};

/// The graph page: frame, axes, dashed grid, ticks, labels, the curve of the records (newest at
/// the left) and the caption, ended as a job. Over-range entries, and any that is not a number,
/// lie on the top grid line.
void printGraphPage(Printer &printer, std::span<const logbook::LogRecord> records,
                    const GraphTexts &texts);

} // namespace report
