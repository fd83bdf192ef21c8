// Where the time goes between the start of loading and the first frame on screen.
//
// One record per process. start() opens it (the program: after the setup dialog, before
// its window; the frame renderer: before its GL context). mark(name) closes the phase that
// ran on the loading thread since the previous mark; Span times work on another thread
// (the music's decoding) from its construction to its destruction. finish() closes the last
// phase and the record: the first frame has been presented. print() writes one line per
// phase and span (start offset and duration in ms, in the order they began) and the total.
// Marks before start() or after finish() are ignored; every call is thread-safe.
#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

class LoadTimeline {
public:
    using Clock = std::chrono::steady_clock;

    struct Phase {
        std::string name;
        Clock::time_point begin{};
        Clock::time_point end{};
        bool background = false;
    };

    // Times one piece of work on another thread.
    class Span {
    public:
        explicit Span(std::string name);
        ~Span();
        Span(const Span&) = delete;
        Span& operator=(const Span&) = delete;

    private:
        std::string _name;
        Clock::time_point _begin{};
    };

    static LoadTimeline& instance();

    void start();
    void mark(const std::string& name);
    void finish(const std::string& lastPhase);
    void addSpan(const std::string& name, Clock::time_point begin, Clock::time_point end);

    bool running() const;
    bool finished() const;
    // Seconds from start() to finish() (0 until finished).
    double totalSeconds() const;
    std::vector<Phase> phases() const;
    void print(std::FILE* out) const;

private:
    mutable std::mutex _mutex;
    bool _started = false;
    bool _finished = false;
    Clock::time_point _start{};
    Clock::time_point _lastMark{};
    std::vector<Phase> _phases;
};
