#pragma once

#include "imaging/ByteSource.h"

#include <cstdio>
#include <string>

namespace veskaro {

/// Reads bytes from a file on disk.
class FileSource : public ByteSource {
public:
    /// Opens the file for reading; throws VeskaroError naming the file when it cannot be opened.
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t read(void* buffer, std::size_t size) noexcept override;
    bool rewind() noexcept override;
    std::uint64_t size() const noexcept override { return m_size; }
    int readError() const noexcept override { return m_error; }

private:
    std::FILE* m_file = nullptr;
    std::uint64_t m_size = 0;
    int m_error = 0;
};

} // namespace veskaro
