// The modal setup dialog shown before anything else.
//
// Offers the display's resolutions, the multisampling levels the GL driver
// supports, vertical sync and fullscreen, preselected from the settings passed
// in. "Run" (Return) writes the choices back; "Cancel" (Escape, or closing the
// dialog) leaves them untouched. Needs the dialog toolkit (initDialogToolkit) and
// SDL's video subsystem (for the display modes and the multisampling probe).
#pragma once

#include "cpp/DisplaySettings.h"

namespace platform {

// False when there is no display to show a dialog on.
bool initDialogToolkit();

// True for "Run", false for "Cancel". The dialog is gone when this returns.
bool runSetupDialog(DisplaySettings& settings);

}  // namespace platform
