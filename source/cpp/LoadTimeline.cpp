#include "cpp/LoadTimeline.h"

#include <algorithm>
#include <utility>

namespace {
double milliseconds(LoadTimeline::Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}
}  // namespace

LoadTimeline& LoadTimeline::instance() {
    static LoadTimeline* timeline = new LoadTimeline;  // outlives static destructors and worker threads
    return *timeline;
}

void LoadTimeline::start() {
    std::lock_guard<std::mutex> lock(_mutex);
    _started = true;
    _finished = false;
    _phases.clear();
    _start = Clock::now();
    _lastMark = _start;
}

void LoadTimeline::mark(const std::string& name) {
    const Clock::time_point now = Clock::now();
    std::lock_guard<std::mutex> lock(_mutex);
    if (!_started || _finished) return;
    _phases.push_back(Phase{name, _lastMark, now, false});
    _lastMark = now;
}

void LoadTimeline::finish(const std::string& lastPhase) {
    mark(lastPhase);
    std::lock_guard<std::mutex> lock(_mutex);
    if (_started) _finished = true;
}

void LoadTimeline::addSpan(const std::string& name, Clock::time_point begin, Clock::time_point end) {
    std::lock_guard<std::mutex> lock(_mutex);
    if (!_started || _finished) return;
    _phases.push_back(Phase{name, begin, end, true});
}

bool LoadTimeline::running() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _started && !_finished;
}

bool LoadTimeline::finished() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _finished;
}

double LoadTimeline::totalSeconds() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _finished ? std::chrono::duration<double>(_lastMark - _start).count() : 0.0;
}

std::vector<LoadTimeline::Phase> LoadTimeline::phases() const {
    std::lock_guard<std::mutex> lock(_mutex);
    std::vector<Phase> sorted = _phases;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Phase& a, const Phase& b) { return a.begin < b.begin; });
    return sorted;
}

void LoadTimeline::print(std::FILE* out) const {
    const std::vector<Phase> sorted = phases();
    Clock::time_point start{};
    {
        std::lock_guard<std::mutex> lock(_mutex);
        start = _start;
    }
    std::fprintf(out, "load to first frame, by phase (ms from the start; * on another thread):\n");
    for (const Phase& phase : sorted)
        std::fprintf(out, "  %c %-28s at %7.1f  took %7.1f\n", phase.background ? '*' : ' ', phase.name.c_str(),
                     milliseconds(phase.begin - start), milliseconds(phase.end - phase.begin));
    std::fprintf(out, "load to first frame: %.3f s\n", totalSeconds());
}

LoadTimeline::Span::Span(std::string name) : _name(std::move(name)), _begin(Clock::now()) {}

LoadTimeline::Span::~Span() { LoadTimeline::instance().addSpan(_name, _begin, Clock::now()); }
