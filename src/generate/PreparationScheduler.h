#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace veskaro {

/// The memory the pictures prepared at the same time may take together, by their estimates.
inline constexpr std::uint64_t kPreparationMemoryBudget = 128ull * 1024 * 1024;

/// Decides when each picture may start: in item order, while a worker is free and the estimates of the
/// pictures running with it fit the budget; while the first picture not started waits for memory, one later
/// picture that fits may start ahead of it. A picture larger than the whole budget waits until nothing
/// else runs and then runs alone. Not thread-safe: its owner guards it.
class PreparationScheduler {
public:
    /// Plans the pictures with the given memory estimates for workers (at least one) within budget bytes.
    PreparationScheduler(std::vector<std::uint64_t> estimates, int workers, std::uint64_t budget);

    /// Returns the picture that may start now and counts it as running, or nothing while the next one
    /// must wait or none is left.
    std::optional<std::size_t> startNext();
    /// Raises the estimate of a running picture whose decoding found it needs bytes, more than estimated;
    /// until mayGoOn says yes the picture waits. A smaller figure changes nothing.
    void charge(std::size_t index, std::uint64_t bytes);
    /// Lowers the estimate of a running picture that has given memory back to bytes, so that pictures
    /// waiting for memory may start beside it; a figure not below its estimate changes nothing.
    void lower(std::size_t index, std::uint64_t bytes);
    /// Tells whether a picture that charged more may go on: once the running estimates fit the budget
    /// again, or when every running picture waits so and it comes first in item order (it then runs over
    /// the budget, as a picture larger than the budget runs alone, since no other could give memory back).
    bool mayGoOn(std::size_t index);
    /// Counts a running picture as finished, giving back its worker and its memory.
    void finish(std::size_t index);
    /// Lets no further picture start; the running ones still finish.
    void close() { m_limit = 0; }
    /// Lets no picture after index start, while earlier ones not started yet still do: a failure stops the
    /// work at the first failing picture in item order.
    void closeAfter(std::size_t index);

    /// Returns the sum of the estimates of the running pictures.
    std::uint64_t runningEstimate() const { return m_runningEstimate; }
    /// Returns how many pictures are running.
    int running() const { return m_running; }
    /// Returns the number of pictures planned.
    std::size_t size() const { return m_estimates.size(); }
    /// Returns true once no further picture will start.
    bool exhausted() const { return m_next >= m_limit; }

private:
    bool fits(std::size_t index) const;
    std::size_t start(std::size_t index);

    std::vector<std::uint64_t> m_estimates;
    std::vector<bool> m_started;
    int m_workers;
    std::uint64_t m_budget;
    std::size_t m_limit;                     // no picture from here on starts
    std::size_t m_next = 0;                  // the first picture not started
    std::optional<std::size_t> m_overtaking; // the running picture that started ahead of m_next
    int m_running = 0;
    std::uint64_t m_runningEstimate = 0;
    std::set<std::size_t> m_waiting; // running pictures that charged more than fits
};

} // namespace veskaro
