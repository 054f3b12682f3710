#include "generate/PreparationScheduler.h"

#include <algorithm>

namespace veskaro {

PreparationScheduler::PreparationScheduler(std::vector<std::uint64_t> estimates, int workers, std::uint64_t budget)
    : m_estimates(std::move(estimates)), m_started(m_estimates.size(), false), m_workers(std::max(workers, 1)),
      m_budget(budget), m_limit(m_estimates.size()) {}

bool PreparationScheduler::fits(std::size_t index) const {
    return m_running == 0 || m_estimates[index] <= m_budget - std::min(m_budget, m_runningEstimate);
}

std::optional<std::size_t> PreparationScheduler::startNext() {
    if (exhausted() || m_running == m_workers)
        return std::nullopt;
    if (fits(m_next))
        return start(m_next);
    // The first picture waits for memory. A later one that fits beside those running may go ahead, so that
    // a worker does not sit idle; one at a time, so that the first waits for no more than one picture.
    if (m_overtaking)
        return std::nullopt;
    for (std::size_t later = m_next + 1; later < m_limit; ++later)
        if (!m_started[later] && fits(later)) {
            m_overtaking = later;
            return start(later);
        }
    return std::nullopt;
}

std::size_t PreparationScheduler::start(std::size_t index) {
    m_started[index] = true;
    ++m_running;
    m_runningEstimate += m_estimates[index];
    while (m_next < m_limit && m_started[m_next])
        ++m_next;
    return index;
}

void PreparationScheduler::closeAfter(std::size_t index) {
    m_limit = std::min(m_limit, index + 1);
}

void PreparationScheduler::charge(std::size_t index, std::uint64_t bytes) {
    if (bytes <= m_estimates[index])
        return;
    m_runningEstimate += bytes - m_estimates[index];
    m_estimates[index] = bytes;
    m_waiting.insert(index);
}

void PreparationScheduler::lower(std::size_t index, std::uint64_t bytes) {
    if (bytes >= m_estimates[index])
        return;
    m_runningEstimate -= m_estimates[index] - bytes;
    m_estimates[index] = bytes;
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
    if (m_overtaking == index)
        m_overtaking.reset();
}

} // namespace veskaro
