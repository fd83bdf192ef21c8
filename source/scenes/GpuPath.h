// Which way a frame finds what the shadow pass must draw: with or without reading
// GPU results back.
//
// On a software rasteriser the GPU is the CPU, so reading a result back costs no
// more than computing it: the frame may measure the shadow lookups it needs from the
// finished G-buffer (ShadowReach) and draw less. On a hardware driver every read-back
// stalls the pipeline until the GPU catches up, so the frame keeps to the bound that
// needs none (ShadowRegions). Both paths draw the same pixels. The scene decides once
// at load, from the GL_RENDERER string: llvmpipe, softpipe, SwiftShader and
// Microsoft's "GDI Generic" are software, anything else hardware. HALVANE_GPU_PATH
// (hardware or software) forces either path, so both can be tested on one machine.
#pragma once

#include <string>

enum class GpuPath { Hardware, Software };

// The path for a renderer string and the environment's choice (null or empty when
// unset). An unknown choice is ignored with a line on standard error.
GpuPath gpuPathFor(const char* renderer, const char* forced);

// The path for the current context (reads GL_RENDERER and HALVANE_GPU_PATH).
GpuPath currentGpuPath();

const char* gpuPathName(GpuPath path);
