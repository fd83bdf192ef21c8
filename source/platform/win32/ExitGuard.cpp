// The exit guard on Windows has nothing to do: a mode set with CDS_FULLSCREEN belongs
// to the process, and Windows gives the desktop its own mode back however the
// process ends (exit, abort, a crash). Putting it back ourselves while exiting also
// makes Wine tear down X windows that are already gone, and end with status 1.
#include "platform/ExitGuard.h"

namespace platform {

void installExitGuard() {}

void keepDesktopModeForExit() {}

void restoreDesktopMode() {}

}  // namespace platform
