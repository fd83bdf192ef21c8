// Progress of a long capture on stderr: frames done of the total, frames per second
// and the time left. On a terminal one line is rewritten in place; into a file or a
// pipe a plain line is written every ten seconds, so logs stay readable.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

class Progress {
public:
    Progress(int64_t total, FILE* out, bool terminal);

    void update(int64_t done);
    // The last line: how many frames in how long.
    void finish(int64_t done);

    double framesPerSecond(int64_t done) const;

private:
    void print(int64_t done, const char* end);

    int64_t _total = 0;
    FILE* _out = nullptr;
    bool _terminal = false;
    std::chrono::steady_clock::time_point _start;
    std::chrono::steady_clock::time_point _lastLine;
};
