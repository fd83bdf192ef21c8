// Every way out of the process gives the desktop its display mode back.
//
// On Linux nothing undoes a fullscreen mode switch when a process ends. Once the
// desktop's modes are recorded, they are put back exactly once, whichever way the
// process ends: exit() from any path (Escape, closing the window, the end of the
// music, a fatal message), an assertion or any other abort, a crash signal, and
// SIGINT, SIGTERM and SIGHUP. After a signal the process still dies of that signal,
// so its parent sees why it ended. Nothing else about the exit changes.
#pragma once

namespace platform {

// Call first in main, before any thread exists: the signal handlers and their watcher
// thread. Idempotent.
void installExitGuard();

// Records the display modes in use now; call before switching to fullscreen.
void keepDesktopModeForExit();

// Puts the recorded modes back now (at most once per process). Exits call it themselves.
void restoreDesktopMode();

}  // namespace platform
