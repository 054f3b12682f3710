#include "generate/PreparationPool.h"

#include "platform/VeskaroError.h"

#include <chrono>

namespace veskaro {

PreparationPool::PreparationPool(PreparationScheduler scheduler, int workers,
                                 std::function<void(std::size_t, const MemoryCharge&)> work, const ThreadStart& start)
    : m_scheduler(std::move(scheduler)), m_work(std::move(work)), m_finished(m_scheduler.size()),
      m_errors(m_scheduler.size()) {
    try {
        for (int i = 0; i < std::max(workers, 1); ++i)
            m_workers.push_back(start([this] { runWorker(); }));
    } catch (const std::exception& error) {
        // A thread that was started and is destroyed joinable would end the program: the ones running are
        // let finish their picture and joined before the error goes on.
        stop();
        throw VeskaroError(std::string("The pictures cannot be prepared: the system refused to start a worker (") +
                           error.what() + ").");
    }
}

PreparationPool::~PreparationPool() {
    stop();
}

void PreparationPool::runWorker() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_scheduler.exhausted()) {
        const std::optional<std::size_t> next = m_scheduler.startNext();
        if (!next) {
            // The next picture waits for memory or a worker that a running one gives back.
            m_changed.wait(lock);
            continue;
        }
        lock.unlock();
        std::exception_ptr error;
        try {
            const std::size_t index = *next;
            m_work(index, {[this, index](std::uint64_t bytes) { charge(index, bytes); },
                           [this, index](std::uint64_t bytes) { keep(index, bytes); }});
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        m_errors[*next] = error;
        m_finished[*next] = 1;
        // A failure stops the command at the first failing picture in item order, so later pictures would
        // only be thrown away; earlier ones that have not started yet are still needed.
        if (error)
            m_scheduler.closeAfter(*next);
        m_scheduler.finish(*next);
        m_changed.notify_all();
    }
}

void PreparationPool::charge(std::size_t index, std::uint64_t bytes) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_scheduler.charge(index, bytes);
    // Another waiting picture may now be the first of all that wait.
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_scheduler.mayGoOn(index); });
}

void PreparationPool::keep(std::size_t index, std::uint64_t bytes) {
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_scheduler.lower(index, bytes);
    }
    m_changed.notify_all();
}

bool PreparationPool::waitFor(std::size_t index, const std::function<bool()>& stopRequested) {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        lock.unlock();
        // The owner's thread answers its user here, so the lock is not held while it does.
        if (stopRequested()) {
            stop();
            return false;
        }
        lock.lock();
        if (m_finished[index])
            break;
        m_changed.wait_for(lock, std::chrono::milliseconds(20));
        if (m_finished[index])
            break;
    }
    if (m_errors[index])
        std::rethrow_exception(m_errors[index]);
    return true;
}

void PreparationPool::stop() {
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_scheduler.close();
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers)
        if (worker.joinable())
            worker.join();
}

} // namespace veskaro
