#pragma once

#ifndef _WIN32

namespace veskaro {

/// Applies flock(operation) to an open file, asking again when a signal interrupts the wait. Returns 0 or
/// -1 with errno set, as flock does.
int flockRetrying(int descriptor, int operation);

} // namespace veskaro

#endif
