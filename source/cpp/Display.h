// Process-wide display values.
//
// Copied once from the setup dialog's DisplaySettings when the window is created and
// never changed afterwards. screenWidth x screenHeight is the drawable size of the
// window, the GL viewport and the size of every screen-sized render target.
#pragma once

extern int screenWidth;
extern int screenHeight;
extern bool vsync;
extern bool fullscreen;
extern int multisampling;
