#include "platform/termination_signals.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <utility>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Made once before any handler is installed; the handler (on any thread) writes into the
// second, the user-interface thread reads from the first.
int signalPipe[2] = {-1, -1};
// Set by the first signal; lock-free, so the handler may touch it.
std::atomic<bool> signalPending{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Ends the process by `signal` with its default action. Async-signal-safe.
void EndBySignal(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);
}

// Only what is safe in a handler: the first signal's byte goes into the pipe, errno is kept.
// Later ones change nothing, so they cannot cut the clean end short: a logout sends SIGHUP right
// behind SIGTERM, and a closed terminal's shell repeats the SIGHUP the terminal sent.
void OnSignal(int signal) {
    if (signalPending.exchange(true))
        return;
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    if (::write(signalPipe[1], &byte, 1) != 1)
        EndBySignal(signal);
    errno = saved;
}

}  // namespace

void EndOnTerminationSignals(std::function<void()> closeAll) {
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [notifier, closeAll = std::move(closeAll)] {
                         char byte = 0;
                         if (::read(signalPipe[0], &byte, 1) != 1)
                             return;
                         notifier->setEnabled(false);
                         if (closeAll)
                             closeAll();
                         EndBySignal(static_cast<unsigned char>(byte));
                     });
    for (const int signal : kSignals) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        for (const int other : kSignals)
            sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace platform
