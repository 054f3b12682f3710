#include "platform/FileLock.h"

#ifndef _WIN32

#include <cerrno>
#include <sys/file.h>

namespace veskaro {

int flockRetrying(int descriptor, int operation) {
    int result;
    while ((result = ::flock(descriptor, operation)) != 0 && errno == EINTR) {
    }
    return result;
}

} // namespace veskaro

#endif
