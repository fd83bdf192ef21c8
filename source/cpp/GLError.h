// The GL error check used across the program.
//
// Drains the GL error queue and, when anything was pending, shows one message box
// listing every error's name followed by a blank, in the order read. Execution goes
// on: GL errors are shown, never fatal.
#pragma once

#include <string>

void checkGLError();

// The text checkGLError would show for the pending errors (drains the queue); empty when none.
std::string collectGLErrors();
