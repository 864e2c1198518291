#pragma once

class QCoreApplication;

namespace core {

/// SIGTERM, SIGINT and SIGHUP (a service stopped, Ctrl+C, the terminal or session gone) end the
/// application's event loops as a quit does, rather than the process where it stands: what
/// main() does after exec() still runs, and nothing taken is left unwritten.
void quitOnTerminationSignals(QCoreApplication &app);

} // namespace core
