#pragma once

// TDeviceWorker: the one thread that opens and closes the sound devices.

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
// The worker lives until the process ends and is never joined: a program
// that exits does not wait for a device being closed (the system takes the
// device back).  Jobs therefore own what they work on.
class TDeviceWorker
{
public:
    static TDeviceWorker &Instance();

    TDeviceWorker(const TDeviceWorker &) = delete;
    TDeviceWorker &operator=(const TDeviceWorker &) = delete;

    // Runs job on the worker after every job posted before it.
    void Post(std::function<void()> job);
    // Runs job on the worker and waits for it; for the worker's own jobs it
    // runs at once.
    void Call(const std::function<void()> &job);
    bool IsWorkerThread() const { return std::this_thread::get_id() == Thread.get_id(); }

private:
    TDeviceWorker();
    ~TDeviceWorker() = delete;
    void Run();

    std::mutex Guard;
    std::condition_variable Wake;
    std::deque<std::function<void()>> Jobs;
    std::thread Thread;
};
