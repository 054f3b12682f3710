#include "imaging/FileSource.h"

#include "platform/PathText.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <cerrno>
#include <filesystem>

namespace veskaro {

FileSource::FileSource(const std::string& path) {
    std::error_code error;
    // A folder opens for reading on some systems; it is no file all the same.
    if (std::filesystem::is_directory(pathOf(path), error))
        throw VeskaroError(ioErrorText(ENOENT) + ": " + path);
    errno = 0;
    m_file = openFile(path, "rb");
    if (!m_file)
        throw VeskaroError(ioErrorText(errno ? errno : ENOENT) + ": " + path);
    const auto size = std::filesystem::file_size(pathOf(path), error);
    m_size = error ? 0 : size;
}

FileSource::~FileSource() {
    std::fclose(m_file);
}

std::size_t FileSource::read(void* buffer, std::size_t size) noexcept {
    errno = 0;
    const std::size_t count = std::fread(buffer, 1, size, m_file);
    if (count < size && std::ferror(m_file) && m_error == 0)
        m_error = errno ? errno : EIO;
    return count;
}

bool FileSource::rewind() noexcept {
    return std::fseek(m_file, 0, SEEK_SET) == 0;
}

} // namespace veskaro
