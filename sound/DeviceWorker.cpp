#include "sound/DeviceWorker.h"

TDeviceWorker::TDeviceWorker() : Thread(&TDeviceWorker::Run, this) {}

TDeviceWorker::~TDeviceWorker()
{
    {
        const std::lock_guard<std::mutex> lock(Guard);
        Ending = true;
    }
    Wake.notify_one();
    Thread.join();
}

void TDeviceWorker::Post(std::function<void()> job)
{
    {
        const std::lock_guard<std::mutex> lock(Guard);
        Jobs.push_back(std::move(job));
    }
    Wake.notify_one();
}

void TDeviceWorker::Call(const std::function<void()> &job)
{
    if (IsWorkerThread()) {
        job();
        return;
    }
    std::mutex doneGuard;
    std::condition_variable doneWake;
    bool done = false;
    Post([&] {
        job();
        const std::lock_guard<std::mutex> lock(doneGuard);
        done = true;
        doneWake.notify_one();
    });
    std::unique_lock<std::mutex> lock(doneGuard);
    doneWake.wait(lock, [&] { return done; });
}

void TDeviceWorker::Run()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(Guard);
            Wake.wait(lock, [this] { return Ending || !Jobs.empty(); });
            if (Jobs.empty())
                return;
            job = std::move(Jobs.front());
            Jobs.pop_front();
        }
        job();
    }
}
