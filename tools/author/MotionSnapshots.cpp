#include "MotionSnapshots.h"

#include <chrono>
#include <cmath>

MotionSnapshots::MotionSnapshots(std::unique_ptr<Tree> shadow, BunchPath path, double lengthSeconds)
    : _shadow(std::move(shadow)), _motion(*_shadow), _path(std::move(path)),
      _snapshots(static_cast<size_t>(std::floor(std::max(0.0, lengthSeconds))) + 1) {
    _motion.setCatchUpLimit(0);
    _motion.save(&_snapshots[0]);
    _ready.store(1, std::memory_order_release);
    start();
}

MotionSnapshots::~MotionSnapshots() { stop(); }

void MotionSnapshots::start() {
    _stopping.store(false);
    if (_ready.load() < totalSeconds()) _worker = std::thread([this] { work(); });
}

void MotionSnapshots::stop() {
    _stopping.store(true);
    if (_worker.joinable()) _worker.join();
}

void MotionSnapshots::work() {
    // Only this thread writes at or past _ready; the main thread reads only below it.
    for (int second = _ready.load(); second < totalSeconds() && !_stopping.load(); ++second) {
        _motion.advanceTo(static_cast<double>(second), [this](double time) { return _path.at(time); });
        _motion.save(&_snapshots[static_cast<size_t>(second)]);
        _ready.store(second + 1, std::memory_order_release);
    }
}

void MotionSnapshots::waitUntilComplete() const {
    while (readySeconds() < totalSeconds()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void MotionSnapshots::restoreBefore(BranchMotion& motion, double seconds, bool force) const {
    const int64_t target = BranchMotion::stepAt(seconds);
    const int ready = readySeconds();
    int second = static_cast<int>(target / BranchMotion::kStepsPerSecond);
    if (second >= ready) second = ready - 1;
    const BranchMotion::Snapshot& snapshot = _snapshots[static_cast<size_t>(second)];
    const int64_t current = motion.currentStep();
    if (!force && current <= target && current >= snapshot.step) return;
    motion.restore(snapshot);
}

void MotionSnapshots::changePath(BunchPath path, int64_t firstChangedStep) {
    stop();
    _path = std::move(path);
    if (firstChangedStep >= 0) {
        // The snapshot at second s holds steps up to 60 s; it stays valid only if they all precede the change.
        const int valid = static_cast<int>((firstChangedStep - 1) / BranchMotion::kStepsPerSecond) + 1;
        if (valid < _ready.load()) _ready.store(valid < 1 ? 1 : valid, std::memory_order_release);
    }
    _motion.restore(_snapshots[static_cast<size_t>(_ready.load() - 1)]);
    start();
}
