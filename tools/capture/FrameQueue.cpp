#include "FrameQueue.h"

FrameQueue::FrameQueue(size_t buffers, size_t bytesPerFrame) {
    for (size_t i = 0; i < buffers; ++i) {
        _pool.push_back(std::make_unique<QueuedFrame>());
        _pool.back()->pixels.resize(bytesPerFrame);
        _free.push_back(_pool.back().get());
    }
}

QueuedFrame* FrameQueue::acquire() {
    std::unique_lock<std::mutex> lock(_mutex);
    _changed.wait(lock, [this] { return _closed || !_free.empty(); });
    if (_closed) return nullptr;
    QueuedFrame* frame = _free.front();
    _free.pop_front();
    return frame;
}

void FrameQueue::push(QueuedFrame* frame) {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _ready.push_back(frame);
    }
    _changed.notify_all();
}

QueuedFrame* FrameQueue::pop() {
    std::unique_lock<std::mutex> lock(_mutex);
    _changed.wait(lock, [this] { return _closed || !_ready.empty(); });
    if (_ready.empty()) return nullptr;
    QueuedFrame* frame = _ready.front();
    _ready.pop_front();
    return frame;
}

void FrameQueue::release(QueuedFrame* frame) {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _free.push_back(frame);
    }
    _changed.notify_all();
}

void FrameQueue::close() {
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _closed = true;
    }
    _changed.notify_all();
}
