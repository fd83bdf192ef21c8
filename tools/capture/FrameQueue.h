// Frames on their way from the renderer to the encoder.
//
// A fixed pool of frame buffers: the renderer takes a free one, fills it and queues
// it; the encoder takes queued frames in order and gives them back. When the
// encoder falls behind the renderer waits for a free buffer, so memory stays at the
// pool's size. Closing wakes both sides: the renderer gets no more buffers, the
// encoder gets what is still queued and then none.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

struct QueuedFrame {
    int64_t index = 0;
    std::vector<uint8_t> pixels;
};

class FrameQueue {
public:
    FrameQueue(size_t buffers, size_t bytesPerFrame);

    // A free buffer, or null once closed.
    QueuedFrame* acquire();
    void push(QueuedFrame* frame);
    // The next queued frame, or null once closed and empty.
    QueuedFrame* pop();
    void release(QueuedFrame* frame);
    void close();

private:
    std::vector<std::unique_ptr<QueuedFrame>> _pool;
    std::deque<QueuedFrame*> _free;
    std::deque<QueuedFrame*> _ready;
    std::mutex _mutex;
    std::condition_variable _changed;
    bool _closed = false;
};
