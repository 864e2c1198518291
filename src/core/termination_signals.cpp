#include "core/termination_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace core {

namespace {

/// The handler only writes a byte here; the event loop reads it and quits.
int g_signalled[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalled[1], &byte, 1);
}

} // namespace

void quitOnTerminationSignals(QCoreApplication &app) {
    if (g_signalled[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalled) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalled[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(g_signalled[0], &byte, 1);
        app.quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

} // namespace core
