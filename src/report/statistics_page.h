#pragma once

#include "statistics/figures.h"

#include <QString>

#include <vector>

namespace report {

class Printer;

/// The statistics on the report's printer, A4 portrait: the title and what the readings are,
/// the intervals' chart when there are intervals, then each group's title and its figures, name
/// and value in two columns, and what the sound figures rest on; each page a job of its own.
void printStatistics(Printer &printer, const QString &span, const stats::SpanFigures &figures,
                     const std::vector<stats::IntervalFigures> &intervals = {});

} // namespace report
