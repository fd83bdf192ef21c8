#include "cpp/DisplaySettings.h"

DisplaySettings displaySettings;

void setDefaultDisplaySettings(DisplaySettings& settings) {
    settings.width = 720;
    settings.height = 1280;
    settings.fullscreen = true;
    settings.vsync = true;
    settings.multisampling = 0;
}
