#pragma once

#include <QCommandLineOption>
#include <QStringList>

class QTextStream;

namespace app {

/// `envmeter --statistics LOGFILE [--from T] [--to T] [--hi [FUNCTION=]X]... [--low
/// [FUNCTION=]Y]...
/// [--json]`: the figures of a log file as a table, or as one JSON object, on `out`, with no
/// window. Returns the exit code: 0, or 2 with one line on `err` for a file that is no log, a
/// bad time, a span that ends before it begins or a bad limit.
int runStatisticsCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

/// The statistics' options, also named by the window's --help.
QList<QCommandLineOption> statisticsOptions();

/// Whether the command line asks for the statistics rather than the window.
bool asksForStatistics(int argc, char *argv[]);

} // namespace app
