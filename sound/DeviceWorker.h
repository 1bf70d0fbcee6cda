#pragma once

// TDeviceWorker: the thread that opens and closes the sound devices.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// SDL's audio subsystem is started, stopped and asked for its devices from
// this thread only, one job after another in the order posted, so that no
// other thread ever waits for a device: closing an SDL device waits for the
// buffer in flight and two more, half a second with long buffers.
//
// Jobs own what they work on: a device may still be closing on the worker
// long after the engine that used it has gone.  The worker itself goes with
// the sound library that owns it, which the program drops at its very end:
// every job posted by then is done before its thread ends, so that no
// device is left half closed, unless that takes longer than EndingWait.  A
// job held up by a device or a sound server that does not answer (SDL's own
// server client waits half a minute for a reply) is then left behind to
// finish on its own, and the process may end without it: every way of
// ending the program ends it within a second, whatever the sound does.
class TDeviceWorker
{
public:
    // How long the worker's end waits for the jobs still queued.
    static constexpr std::chrono::milliseconds EndingWait{400};

    TDeviceWorker();
    // Runs every job posted so far, then ends the thread; waits no longer
    // than EndingWait.  Not from a job.
    ~TDeviceWorker();
    TDeviceWorker(const TDeviceWorker &) = delete;
    TDeviceWorker &operator=(const TDeviceWorker &) = delete;

    // Runs job on the worker after every job posted before it.
    void Post(std::function<void()> job);
    // Runs job on the worker and waits for it; for the worker's own jobs it
    // runs at once.
    void Call(const std::function<void()> &job);
    bool IsWorkerThread() const { return std::this_thread::get_id() == ThreadId; }

private:
    // Shared with the thread, which may outlive the worker.
    struct TQueue {
        std::mutex Guard;
        std::condition_variable Wake;
        std::deque<std::function<void()>> Jobs;
        bool Ending = false;   // no job comes after those queued
        bool Finished = false; // the thread has run its last job
    };
    static void Run(const std::shared_ptr<TQueue> &queue);

    std::shared_ptr<TQueue> Queue;
    std::thread Thread; // last: started once the rest is there
    std::thread::id ThreadId;
};
