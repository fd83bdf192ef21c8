// The GL state every presentation surface starts with, in this order: sRGB output,
// a viewport over the whole surface, back-face culling, black clear colour, a
// cleared colour and depth buffer, and depth, scissor and stencil tests off.
#pragma once

void setInitialGlState(int width, int height);
