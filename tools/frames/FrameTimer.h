// Frame timing for the frame renderer: whole frames and each pass, CPU time around
// glFinish (software rendering has no separate GPU clock worth trusting).
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
    void addPass(const std::string& pass, double seconds) {
        if (_passes.find(pass) == _passes.end()) _order.push_back(pass);
        _passes[pass].push_back(seconds);
    }
    void print(FILE* out, int width, int height) const;

private:
    std::vector<double> _frames;
    std::map<std::string, std::vector<double>> _passes;
    std::vector<std::string> _order;
};

// Renders `count` consecutive frames from `start`, `step` apart, timing each.
void runBenchmark(PresentationDriver& driver, TestGeometry& scene, double start, double step, int count,
                  FrameTimer* timer);
