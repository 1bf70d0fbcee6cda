#include "sound/DeviceWorker.h"

TDeviceWorker::TDeviceWorker()
    : Queue(std::make_shared<TQueue>()), Thread([queue = Queue] { Run(queue); }),
      ThreadId(Thread.get_id())
{
}

TDeviceWorker::~TDeviceWorker()
{
    bool finished = false;
    {
        std::unique_lock<std::mutex> lock(Queue->Guard);
        Queue->Ending = true;
        Queue->Wake.notify_all();
        finished = Queue->Wake.wait_for(lock, EndingWait, [this] { return Queue->Finished; });
    }
    // The thread keeps what it works on alive through its own share of the
    // queue and the jobs' own shares of their outputs.
    if (finished)
        Thread.join();
    else
        Thread.detach();
}

void TDeviceWorker::Post(std::function<void()> job)
{
    {
        const std::lock_guard<std::mutex> lock(Queue->Guard);
        Queue->Jobs.push_back(std::move(job));
    }
    Queue->Wake.notify_all();
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

void TDeviceWorker::Run(const std::shared_ptr<TQueue> &queue)
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(queue->Guard);
            queue->Wake.wait(lock, [&] { return queue->Ending || !queue->Jobs.empty(); });
            if (queue->Jobs.empty()) {
                queue->Finished = true;
                queue->Wake.notify_all();
                return;
            }
            job = std::move(queue->Jobs.front());
            queue->Jobs.pop_front();
        }
        job();
    }
}
