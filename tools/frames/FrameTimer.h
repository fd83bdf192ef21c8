// Frame timing for the frame renderer, in two separate runs of consecutive frames.
//
// Frames as a viewer gets them: nothing waits inside a frame; each frame ends with one
// glFinish (what presenting it costs on software GL, where the swap waits for the
// rasteriser), and a frame's time runs from the end of the previous one, so work the
// driver overlaps between passes counts once. Then, separately, the per-pass
// breakdown: a glFinish after every pass serialises the frame, so the passes add up to
// more than a viewer's frame. Software rendering has no GPU clock worth trusting:
// both are CPU wall-clock times.
//
// The interface stays what older revisions of the frame renderer call, so a speed
// comparison can time an older tree with this same code.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class PresentationDriver;
class TestGeometry;

class FrameTimer {
public:
    void addFrame(double seconds) { _frames.push_back(seconds); }
    void addPass(const std::string& pass, double seconds, double cpuSeconds) {
        if (_passes.find(pass) == _passes.end()) _order.push_back(pass);
        _passes[pass].push_back(seconds);
        _passCpu[pass].push_back(cpuSeconds);
    }
    void addFrameCpu(double seconds) { _cpu.push_back(seconds); }
    void addBreakdownFrame(double seconds) { _serialisedFrames.push_back(seconds); }
    // First line: "<W>x<H>, <N> frames: median frame <ms> ms" (scripts read it).
    void print(FILE* out, int width, int height) const;

private:
    std::vector<double> _frames;
    std::vector<double> _cpu;
    std::vector<double> _serialisedFrames;
    std::map<std::string, std::vector<double>> _passes;
    std::map<std::string, std::vector<double>> _passCpu;
    std::vector<std::string> _order;
};

// Renders one untimed frame at `start`, then `count` frames `step` apart as a viewer gets them,
// then `count` more with a finish after every pass for the breakdown.
void runBenchmark(PresentationDriver& driver, TestGeometry& scene, double start, double step, int count,
                  FrameTimer* timer);
