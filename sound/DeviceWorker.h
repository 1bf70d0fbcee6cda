#pragma once

// TDeviceWorker: the thread that opens and closes the sound devices.

#include <condition_variable>
#include <deque>
#include <functional>
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
// every job posted by then is done before its thread ends, so no device is
// left half closed and nothing of the module runs on afterwards.  The
// program's end waits that long: an SDL device still open lets two of its
// buffers' time pass as it closes (the sound server's stream is closed by
// its engine as it goes, and costs nothing here).
class TDeviceWorker
{
public:
    TDeviceWorker();
    // Runs every job posted so far, then ends the thread.  Not from a job.
    ~TDeviceWorker();
    TDeviceWorker(const TDeviceWorker &) = delete;
    TDeviceWorker &operator=(const TDeviceWorker &) = delete;

    // Runs job on the worker after every job posted before it.
    void Post(std::function<void()> job);
    // Runs job on the worker and waits for it; for the worker's own jobs it
    // runs at once.
    void Call(const std::function<void()> &job);
    bool IsWorkerThread() const { return std::this_thread::get_id() == Thread.get_id(); }

private:
    void Run();

    std::mutex Guard;
    std::condition_variable Wake;
    std::deque<std::function<void()>> Jobs;
    bool Ending = false; // no job comes after those queued
    std::thread Thread;  // last: started once the rest is there
};
