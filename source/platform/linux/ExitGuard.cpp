#include "platform/ExitGuard.h"

#if defined(_WIN32)

// Windows gives the desktop its mode back when the process that switched it ends.
namespace platform {
void installExitGuard() {}
void keepDesktopModeForExit() {}
void restoreDesktopMode() {}
}  // namespace platform

#else

#include "platform/linux/X11DisplayModes.h"

#include <SDL.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

enum Phase { kNothingKept, kKept, kRestoring, kRestored };

std::atomic<int> g_phase{kNothingKept};
X11DisplayModes* g_modes = nullptr;  // never freed: exits and signal paths may still need it
int g_signalPipe[2] = {-1, -1};

const int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
const int kCrashSignals[] = {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};
struct sigaction g_previousCrashAction[NSIG];

void sleepMilliseconds(long ms) {
    timespec pause{0, ms * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

// The first caller restores; a caller that comes while another one is at it waits a
// little, so the process does not end halfway through the restore.
void restoreOnce() {
    int expected = kKept;
    if (g_phase.compare_exchange_strong(expected, kRestoring)) {
        g_modes->putBack();
        g_phase.store(kRestored);
        return;
    }
    for (int i = 0; i < 200 && g_phase.load() == kRestoring; ++i) sleepMilliseconds(10);
}

void restoreAtExit() {
    restoreOnce();
}

// Only an async-signal-safe write here; the watcher thread does the real work.
void onStopSignal(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    ssize_t ignored = write(g_signalPipe[1], &number, 1);
    (void)ignored;
    errno = saved;
}

[[noreturn]] void dieOf(int signal) {
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    _exit(128 + signal);  // not reached: the default action of a stop signal ends the process
}

void watchStopSignals() {
    for (;;) {
        unsigned char number = 0;
        const ssize_t got = read(g_signalPipe[0], &number, 1);
        if (got == 1) {
            restoreOnce();
            dieOf(number);
        }
        if (got == 0 || (got < 0 && errno != EINTR)) return;
    }
}

// A crashing process is past caring about async-signal safety, but a restore that hangs
// must not keep it alive: the alarm ends it after three seconds.
void onCrashSignal(int signal, siginfo_t* info, void*) {
    alarm(3);
    restoreOnce();
    alarm(0);
    sigaction(signal, &g_previousCrashAction[signal], nullptr);
    // A raised signal is delivered again once this handler returns; a real fault repeats
    // when the faulting instruction runs again, now under the previous handler.
    if (info == nullptr || info->si_code <= 0) raise(signal);
}

}  // namespace

void installExitGuard() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    // The stop signals end the process here, not through SDL's quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");

    if (pipe(g_signalPipe) == 0) {
        fcntl(g_signalPipe[1], F_SETFL, fcntl(g_signalPipe[1], F_GETFL) | O_NONBLOCK);
        for (int fd : g_signalPipe) fcntl(fd, F_SETFD, FD_CLOEXEC);
        std::thread(watchStopSignals).detach();
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : kStopSignals) sigaction(signal, &action, nullptr);
    }

    struct sigaction crash {};
    crash.sa_sigaction = onCrashSignal;
    sigemptyset(&crash.sa_mask);
    crash.sa_flags = SA_SIGINFO;
    for (int signal : kCrashSignals) sigaction(signal, &crash, &g_previousCrashAction[signal]);
}

void keepDesktopModeForExit() {
    if (g_phase.load() != kNothingKept) return;
    auto* modes = new X11DisplayModes;
    if (!modes->take()) {
        delete modes;
        return;
    }
    g_modes = modes;
    std::atexit(restoreAtExit);
    g_phase.store(kKept);
}

void restoreDesktopMode() {
    restoreOnce();
}

}  // namespace platform

#endif
