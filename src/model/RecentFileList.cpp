#include "model/RecentFileList.h"

#include "model/Folders.h"
#include "platform/TextFile.h"

#include <filesystem>
#include <vector>

namespace veskaro {

namespace {

constexpr std::size_t kPrefixLength = 3;

} // namespace

std::string RecentFileListPath() {
    return GetTempFolder() + "recentfile.dat";
}

RecentFileSlots ReadRecentFileList() {
    const std::string path = RecentFileListPath();
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        writeTextFileAtomically(path, {});
    const std::vector<std::string> lines = readTextLines(path);
    RecentFileSlots slots;
    for (std::size_t i = 0; i < slots.size() && i < lines.size(); ++i)
        slots[i] = lines[i];
    return slots;
}

std::string RecentFilePath(const std::string& line) {
    return line.size() > kPrefixLength ? line.substr(kPrefixLength) : std::string{};
}

bool AddToRecentFileList(const std::string& fileName) {
    if (fileName.empty())
        return false;
    RecentFileSlots slots = ReadRecentFileList();
    for (std::string& slot : slots) {
        slot = RecentFilePath(slot);
        // The comparison is exact, so a name in another letter case or spelling counts as another file.
        if (slot == fileName)
            return false;
    }
    for (std::size_t k = slots.size() - 1; k > 0; --k)
        slots[k] = slots[k - 1];
    slots[0] = fileName;

    std::vector<std::string> lines;
    for (std::size_t k = 0; k < slots.size(); ++k) {
        if (slots[k].empty())
            continue;
        // "&", the slot's digit and a blank: the digit is the menu entry's access key.
        std::string line = "&";
        line += static_cast<char>('1' + k);
        line += ' ';
        lines.push_back(line + slots[k]);
    }
    writeTextFileAtomically(RecentFileListPath(), lines);
    return true;
}

} // namespace veskaro
