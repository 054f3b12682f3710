#pragma once

#include "generate/PreparationScheduler.h"

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace veskaro {

/// What a picture's work tells the budget of the memory it takes.
struct MemoryCharge {
    /// Told before the decoder takes more memory what the picture will then have taken in all; waits until
    /// that fits the budget.
    std::function<void(std::uint64_t bytes)> need;
    /// Told once the decoded picture is freed what the picture still takes while it is encoded; pictures
    /// waiting for memory may then start.
    std::function<void(std::uint64_t bytes)> keep;
};

/// Runs a piece of work for every picture on worker threads, starting each when its scheduler allows,
/// and hands the outcomes to the owning thread one picture at a time, in item order. After a failure no
/// later picture starts (earlier ones that waited still do); the ones running finish. The destructor waits
/// for the workers.
class PreparationPool {
public:
    /// Starts a thread for a worker's loop; the system's own unless a test stands in for it.
    using ThreadStart = std::function<std::thread(std::function<void()>)>;

    /// Starts workers (at least one) that run work(i, charge) for each picture i the scheduler lets start;
    /// charge raises the picture's share of the budget when it needs more than its estimate and lowers it
    /// when it gives memory back. When the system refuses a thread, the workers already started are stopped
    /// and joined, and VeskaroError says why.
    PreparationPool(PreparationScheduler scheduler, int workers,
                    std::function<void(std::size_t, const MemoryCharge&)> work,
                    const ThreadStart& start = startSystemThread);
    ~PreparationPool();
    PreparationPool(const PreparationPool&) = delete;
    PreparationPool& operator=(const PreparationPool&) = delete;

    /// Waits until picture index has finished, asking stopRequested at least every 20 ms meanwhile and
    /// returning false as soon as it says yes; rethrows what the picture's work threw.
    bool waitFor(std::size_t index, const std::function<bool()>& stopRequested);
    /// Lets no further picture start and waits for the running ones.
    void stop();

private:
    static std::thread startSystemThread(std::function<void()> loop) { return std::thread(std::move(loop)); }
    void runWorker();
    void charge(std::size_t index, std::uint64_t bytes);
    void keep(std::size_t index, std::uint64_t bytes);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    PreparationScheduler m_scheduler;
    std::function<void(std::size_t, const MemoryCharge&)> m_work;
    std::vector<char> m_finished;
    std::vector<std::exception_ptr> m_errors;
    std::vector<std::thread> m_workers;
};

} // namespace veskaro
