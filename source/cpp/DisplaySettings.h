// The viewer's choices from the setup dialog.
//
// One process-wide record: the entry point writes the defaults, the setup dialog
// overwrites them on "Run", and window creation reads them once. The defaults are
// 720 wide by 1280 high (not 1280 by 720); they only decide which resolution the
// dialog preselects.
#pragma once

#include <cstdint>

struct DisplaySettings {
    int32_t width = 720;
    int32_t height = 1280;
    bool fullscreen = true;
    bool vsync = true;
    int32_t multisampling = 0;  // index into the dialog's sample-count list, -1 when it was empty
};

// Resets the record to the defaults above.
void setDefaultDisplaySettings(DisplaySettings& settings);

extern DisplaySettings displaySettings;
