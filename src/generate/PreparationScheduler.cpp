#include "generate/PreparationScheduler.h"

#include <algorithm>

namespace veskaro {

PreparationScheduler::PreparationScheduler(std::vector<std::uint64_t> estimates, int workers, std::uint64_t budget)
    : m_estimates(std::move(estimates)), m_workers(std::max(workers, 1)), m_budget(budget) {}

std::optional<std::size_t> PreparationScheduler::startNext() {
    if (m_closed || m_next == m_estimates.size() || m_running == m_workers)
        return std::nullopt;
    // Pictures start in item order even when a later, smaller one would fit: the results are handed on in
    // that order, so a picture that overtook the one waiting would only sit finished and hold its file.
    const std::uint64_t estimate = m_estimates[m_next];
    if (m_running > 0 && estimate > m_budget - std::min(m_budget, m_runningEstimate))
        return std::nullopt;
    ++m_running;
    m_runningEstimate += estimate;
    return m_next++;
}

void PreparationScheduler::charge(std::size_t index, std::uint64_t bytes) {
    if (bytes <= m_estimates[index])
        return;
    m_runningEstimate += bytes - m_estimates[index];
    m_estimates[index] = bytes;
    m_waiting.insert(index);
}

bool PreparationScheduler::mayGoOn(std::size_t index) {
    if (!m_waiting.contains(index))
        return true;
    const bool allWait = m_waiting.size() == static_cast<std::size_t>(m_running);
    if (m_runningEstimate > m_budget && !(allWait && *m_waiting.begin() == index))
        return false;
    m_waiting.erase(index);
    return true;
}

void PreparationScheduler::finish(std::size_t index) {
    --m_running;
    m_runningEstimate -= m_estimates[index];
}

} // namespace veskaro
