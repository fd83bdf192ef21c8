// Snapshots of the branches' motion at every whole second of film, computed ahead on a
// worker thread, so a seek restores the nearest one and steps at most one second.
//
// Contract: built with a CPU-only tree whose wind is the film's, the bunch path and the
// film's length; the worker starts at once from step 0. restoreBefore() (main thread)
// puts a motion at the latest ready snapshot at or before a time; the scene's next
// advanceTo() steps the rest. changePath() is for a timeline whose bunch moved from
// some step on: snapshots after it are dropped and computed again; a motion restored
// before the change must be restored again (restoreBefore with force). The worker is
// stopped by stop() or the destructor.
#pragma once

#include "BunchPath.h"

#include "cpp/BranchMotion.h"
#include "cpp/Tree.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class MotionSnapshots {
public:
    MotionSnapshots(std::unique_ptr<Tree> shadow, BunchPath path, double lengthSeconds);
    ~MotionSnapshots();
    MotionSnapshots(const MotionSnapshots&) = delete;
    MotionSnapshots& operator=(const MotionSnapshots&) = delete;

    // Leaves `motion` alone when it already stands between that snapshot and `seconds`
    // (stepping on is then cheaper), unless `force`.
    void restoreBefore(BranchMotion& motion, double seconds, bool force = false) const;
    void changePath(BunchPath path, int64_t firstChangedStep);
    void stop();
    // Blocks until every snapshot is ready (benchmarks and tests).
    void waitUntilComplete() const;

    // Whole seconds of film whose snapshot is ready.
    int readySeconds() const { return _ready.load(std::memory_order_acquire); }
    int totalSeconds() const { return static_cast<int>(_snapshots.size()); }
    const BunchPath& path() const { return _path; }

private:
    void start();
    void work();

    std::unique_ptr<Tree> _shadow;
    BranchMotion _motion;
    BunchPath _path;
    std::vector<BranchMotion::Snapshot> _snapshots;  // index = second; sized once
    std::atomic<int> _ready{0};
    std::atomic<bool> _stopping{false};
    std::thread _worker;
};
