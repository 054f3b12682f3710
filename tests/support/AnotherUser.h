#pragma once

#include <exception>
#include <functional>
#include <string>

#ifdef _WIN32

namespace veskaro::test {

/// Runs action and returns what it returns. On Windows a read-only file is read-only for every user, the
/// administrator too, so the action needs no other user.
inline std::string asAnotherUser(const std::function<std::string()>& action) {
    return action();
}

} // namespace veskaro::test

#else

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veskaro::test {

/// The user "nobody", who owns none of a test's files.
inline constexpr uid_t kNobody = 65534;

/// Runs action as a user to whom the permission bits apply, and returns what it returns. Root may write
/// any file, so when the tests run as root the action runs in a child process that has become "nobody"
/// (the folders it uses must be open to it); otherwise it runs here, as the user running the tests.
inline std::string asAnotherUser(const std::function<std::string()>& action) {
    if (::geteuid() != 0)
        return action();
    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe to the child";
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return "no child process";
    }
    if (child == 0) {
        ::close(channel[0]);
        std::string result;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            result = "the child could not become nobody";
        } else {
            try {
                result = action();
            } catch (const std::exception& error) {
                result = std::string("unexpected exception: ") + error.what();
            }
        }
        for (std::size_t written = 0; written < result.size();) {
            const ssize_t count = ::write(channel[1], result.data() + written, result.size() - written);
            if (count <= 0)
                break;
            written += static_cast<std::size_t>(count);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[4096];
    ssize_t count;
    while ((count = ::read(channel[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, static_cast<std::size_t>(count));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "the child ended with status " + std::to_string(status);
    return result;
}

} // namespace veskaro::test

#endif
