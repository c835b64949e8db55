#include "app/window/QuitSignals.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace corvanel::window {

namespace {

int gWriteEnd = -1;

void OnQuitSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a close request; losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
    errno = saved;
}

} // namespace

bool CloseOnQuitSignals(QWidget* window) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return false;
    ::fcntl(ends[0], F_SETFL, O_NONBLOCK);
    ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
    gWriteEnd = ends[1];

    auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window,
                     [readEnd = ends[0], target = QPointer<QWidget>(window)] {
                         char bytes[16];
                         while (::read(readEnd, bytes, sizeof bytes) > 0) {
                         }
                         if (target)
                             target->close();
                     });

    struct sigaction action = {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    return true;
}

} // namespace corvanel::window
