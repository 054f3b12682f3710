#pragma once

#ifndef _WIN32
#include <sys/mount.h>
#endif

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace veskaro::test {

/// Mounts a tmpfs of that size on folder; returns why it could not, or empty text.
inline std::string mountSmallDisk(const std::filesystem::path& folder, std::size_t bytes) {
#ifdef _WIN32
    static_cast<void>(folder);
    static_cast<void>(bytes);
    return "Windows has no tmpfs to mount on a folder";
#else
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    if (::mount("veskaro-test", folder.c_str(), "tmpfs", 0, options.c_str()) == 0)
        return {};
    return std::string("mounting a tmpfs failed: ") + std::strerror(errno);
#endif
}

inline void unmountSmallDisk([[maybe_unused]] const std::filesystem::path& folder) {
#ifndef _WIN32
    ::umount2(folder.c_str(), MNT_DETACH);
#endif
}

/// A small tmpfs mounted on a folder for one test and unmounted at its end, to run out of space for real.
/// Mounting needs the privilege to mount (root in the test containers); without it, mounted() is false and
/// whyNotMounted() says why.
class SmallDisk {
public:
    SmallDisk(const std::filesystem::path& folder, std::size_t bytes) : m_folder(folder) {
        std::filesystem::create_directories(folder);
        m_whyNot = mountSmallDisk(folder, bytes);
        m_mounted = m_whyNot.empty();
    }
    ~SmallDisk() {
        if (m_mounted)
            unmountSmallDisk(m_folder);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    const std::string& whyNotMounted() const { return m_whyNot; }

    /// Fills the disk with a filler file, then gives back about `leave` bytes of it (whole pages).
    void fill(std::size_t leave = 0) const {
        const std::filesystem::path filler = m_folder / "zz-filler";
        {
            std::ofstream out(filler, std::ios::binary);
            const std::string block(4096, '\0');
            while (out.write(block.data(), static_cast<std::streamsize>(block.size())))
                out.flush();
        }
        const auto size = std::filesystem::file_size(filler);
        std::filesystem::resize_file(filler, size > leave ? size - leave : 0);
    }
    /// Removes the filler file.
    void empty() const { std::filesystem::remove(m_folder / "zz-filler"); }

private:
    std::filesystem::path m_folder;
    bool m_mounted = false;
    std::string m_whyNot;
};

} // namespace veskaro::test
