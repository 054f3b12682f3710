#pragma once

#include <stdexcept>

namespace veskaro {

/// Carries a message the user must read; the one exception type the core throws on purpose.
class VeskaroError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace veskaro
