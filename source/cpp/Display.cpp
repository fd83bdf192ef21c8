#include "cpp/Display.h"

int screenWidth = 0;
int screenHeight = 0;
bool vsync = true;
bool fullscreen = true;
int multisampling = 0;
