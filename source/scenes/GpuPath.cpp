#include "scenes/GpuPath.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

GpuPath gpuPathFor(const char* renderer, const char* forced) {
    if (forced != nullptr && *forced != '\0') {
        if (std::strcmp(forced, "hardware") == 0) return GpuPath::Hardware;
        if (std::strcmp(forced, "software") == 0) return GpuPath::Software;
        std::fprintf(stderr, "HALVANE_GPU_PATH=%s is neither hardware nor software; ignored.\n", forced);
    }
    if (renderer == nullptr) return GpuPath::Hardware;
    for (const char* software : {"llvmpipe", "softpipe", "SwiftShader", "GDI Generic"})
        if (std::strstr(renderer, software) != nullptr) return GpuPath::Software;
    return GpuPath::Hardware;
}

GpuPath currentGpuPath() {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return gpuPathFor(renderer, std::getenv("HALVANE_GPU_PATH"));
}

const char* gpuPathName(GpuPath path) {
    return path == GpuPath::Software ? "software" : "hardware";
}
