#include "app/endpath.h"

#include "settings/rememberedvalues.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>

namespace {

constexpr std::array<int, 3> handled = {SIGTERM, SIGHUP, SIGINT};
// How long the end write may take before a further signal ends the program
// at once: the store's own bound, and a second for the event loop.
constexpr long endBoundSeconds = 4;

int pipeFds[2] = {-1, -1};
volatile sig_atomic_t first = 0;  // the signal being handled
volatile time_t firstAt = 0;      // when it came, on the monotonic clock
std::array<bool, handled.size()> installed{};
std::array<struct sigaction, handled.size()> previous{}; // what each one did before
RememberedValues *atExitStore = nullptr;

time_t monotonicSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now); // async-signal-safe
    return now.tv_sec;
}

void restorePrevious()
{
    for (size_t i = 0; i < handled.size(); ++i) {
        if (installed[i])
            ::sigaction(handled[i], &previous[i], nullptr);
        installed[i] = false;
    }
}

// Async-signal-safe. The first signal goes to the event loop; a later one
// must not cut the end write short, unless that has overrun its bound.
void onSignal(int signal)
{
    if (first == 0) {
        first = signal;
        firstAt = monotonicSeconds();
        const int savedErrno = errno;
        const char byte = char(signal);
        [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &byte, 1);
        errno = savedErrno;
        return;
    }
    if (monotonicSeconds() - firstAt > endBoundSeconds) {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    }
}

void writeAtExit()
{
    if (atExitStore)
        atExitStore->writePendingNow();
}

} // namespace

EndPath::EndPath(RememberedValues &store)
    : m_store(store)
{
    atExitStore = &store;
    static const bool hooked = std::atexit(writeAtExit) == 0;
    Q_UNUSED(hooked);

    auto *app = QCoreApplication::instance();
    connect(app, &QCoreApplication::aboutToQuit, this, [this] { m_store.writePendingNow(); });
    if (auto *gui = qobject_cast<QGuiApplication *>(app))
        connect(gui, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &) { m_store.writePendingNow(); });

    if (pipeFds[0] < 0 && ::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_signals = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
    connect(m_signals.get(), &QSocketNotifier::activated, this, &EndPath::endBySignal);
    for (size_t i = 0; i < handled.size(); ++i) {
        if (::sigaction(handled[i], nullptr, &previous[i]) != 0
            || (!(previous[i].sa_flags & SA_SIGINFO) && previous[i].sa_handler == SIG_IGN))
            continue;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        installed[i] = ::sigaction(handled[i], &action, nullptr) == 0;
    }
}

EndPath::~EndPath()
{
    restorePrevious();
    m_store.writePendingNow();
    atExitStore = nullptr;
}

// On the application's thread, from the event loop: write, then end by the
// signal as the program would have ended without this.
void EndPath::endBySignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(pipeFds[0], &byte, 1);
    const int signal = first != 0 ? int(first) : int(byte);
    m_store.writePendingNow();
    restorePrevious();
    ::raise(signal);
    // Handled elsewhere after all (a handler was there before): go on.
    first = 0;
}
