#include "settings/endsignals.h"


#include <QCoreApplication>
#include <QList>
#include <QSocketNotifier>
#include <QThread>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <utility>
#include <cerrno>

namespace EndSignals {

namespace {

constexpr std::array<int, 3> handled = {SIGTERM, SIGHUP, SIGINT};

int pipeFds[2] = {-1, -1};
volatile sig_atomic_t received = 0;
std::array<bool, handled.size()> installed{};
std::array<struct sigaction, handled.size()> previous{}; // what each one did before
QSocketNotifier *notifier = nullptr;
// The stores with pending values, each with what writes them.
using Watched = QList<std::pair<const void *, std::function<void()>>>;
Watched &watched()
{
    static Watched stores;
    return stores;
}

void restorePrevious()
{
    for (size_t i = 0; i < handled.size(); ++i) {
        if (!installed[i])
            continue;
        ::sigaction(handled[i], &previous[i], nullptr);
        installed[i] = false;
    }
}

// Async-signal-safe: writes one byte, or on a second signal hands it on at
// once to what handled it before (by default: the program ends).
void onSignal(int signal)
{
    if (received != 0) {
        for (size_t i = 0; i < handled.size(); ++i) {
            if (handled[i] == signal)
                ::sigaction(signal, &previous[i], nullptr);
        }
        ::raise(signal);
        return;
    }
    received = signal;
    const int savedErrno = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
    errno = savedErrno;
}

// On the application's thread, from the event loop.
void endBySignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(pipeFds[0], &byte, 1);
    const int signal = received != 0 ? int(received) : int(byte);
    // Copy: a store leaves the list once its values are written.
    const Watched stores = watched();
    for (const auto &[owner, writePending] : stores)
        writePending();
    // Then the signal does what it did before: by default, end the program.
    restorePrevious();
    received = 0;
    ::raise(signal);
}

bool makePipe()
{
    if (pipeFds[0] >= 0)
        return true;
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
        return false;
    }
    return true;
}

void install()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread() || !makePipe())
        return;
    if (!notifier) {
        notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { endBySignal(); });
    }
    for (size_t i = 0; i < handled.size(); ++i) {
        if (installed[i])
            continue;
        if (::sigaction(handled[i], nullptr, &previous[i]) != 0
            || (!(previous[i].sa_flags & SA_SIGINFO) && previous[i].sa_handler == SIG_IGN))
            continue; // ignored (SIGHUP under nohup): stays ignored
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        installed[i] = ::sigaction(handled[i], &action, nullptr) == 0;
    }
}

void uninstall()
{
    restorePrevious();
    delete notifier;
    notifier = nullptr;
}

} // namespace

void watch(const void *owner, std::function<void()> writePending)
{
    Watched &stores = watched();
    if (std::ranges::none_of(stores, [owner](const auto &entry) { return entry.first == owner; }))
        stores.append({owner, std::move(writePending)});
    install();
}

void unwatch(const void *owner)
{
    Watched &stores = watched();
    stores.removeIf([owner](const auto &entry) { return entry.first == owner; });
    if (stores.isEmpty() && received == 0)
        uninstall();
}

} // namespace EndSignals
