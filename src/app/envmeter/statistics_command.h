#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

class QTextStream;

namespace app {

/// `envmeter --statistics [PATH...] [--meter NAME]... [--from T] [--to T] [--hi [FUNCTION=]X]...
/// [--low [FUNCTION=]Y]... [--interval 1m|15m|1h|1d] [--tz ZONE] [--events] [--for D]
/// [--hysteresis H] [--chart FILE [--size WxH]] [--json|--csv]`, as `parser` read it: the figures
/// of the logs named alone as one series, and of each folder's and meter's history (none:
/// `dataFolder`'s) as a series of its own, as a table, one JSON object or CSV on `out`, with no
/// window. Returns the exit code: 0, or 2 with one line on `err` for a path that does not exist or
/// is neither a file nor a folder, a log named alone that is no log, nothing but folders without
/// logs, an unknown meter, a bad time, a span that ends before it begins, a bad limit or interval.
/// A log of a history that cannot be read, and a folder without logs beside others, are named on
/// `err` and left out.
int runStatisticsCommand(const QCommandLineParser &parser, const QString &dataFolder,
                         QTextStream &out, QTextStream &err);

/// The statistics' options, which the program's command line takes beside its own.
QList<QCommandLineOption> statisticsOptions();

/// Whether the command line, read with statisticsOptions(), asks for the statistics rather than
/// the window.
bool asksForStatistics(const QCommandLineParser &parser);
/// Whether it asks for a chart to be drawn, which takes a (display-less) GUI application.
bool asksForDrawing(const QCommandLineParser &parser);

} // namespace app
