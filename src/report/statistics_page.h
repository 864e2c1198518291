#pragma once

#include "statistics/figures.h"

#include <QString>

#include <vector>

namespace report {

class Printer;

/// The statistics on the report's printer, A4 portrait: the title, what the readings are and
/// when the report was made, the intervals' chart when there are intervals, then each group's
/// title and its figures, name and value in two columns, and what the sound figures rest on;
/// the intervals' table; the events; each page numbered and a job of its own.
void printStatistics(Printer &printer, const QString &span, const stats::SpanFigures &figures,
                     const std::vector<stats::IntervalFigures> &intervals = {},
                     const std::vector<stats::EventFigures> &events = {}, const QString &made = {});

} // namespace report
