// Writes framebuffer 0 (the frame just drawn) as an RGB PNG, top row first.
#pragma once

#include <string>

bool writeFramebufferPng(const std::string& path, int width, int height);
