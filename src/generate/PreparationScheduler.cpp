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

void PreparationScheduler::finish(std::size_t index) {
    --m_running;
    m_runningEstimate -= m_estimates[index];
}

} // namespace veskaro
