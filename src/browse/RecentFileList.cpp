#include "browse/RecentFileList.h"

#include "platform/PathText.h"
#include "platform/Places.h"
#include "platform/TextFile.h"

#include <filesystem>
#include <vector>

namespace veskaro {

namespace {

constexpr std::size_t kPrefixLength = 3;

} // namespace

std::string recentFileListPath(const Places& places) {
    return places.GetSharedTempFolder() + "recentfile.dat";
}

RecentFileSlots readRecentFileList(const Places& places) {
    const std::string path = recentFileListPath(places);
    std::error_code error;
    if (!std::filesystem::exists(pathOf(path), error))
        writeTextFileAtomically(path, {});
    const std::vector<std::string> lines = readTextLines(path);
    RecentFileSlots slots;
    for (std::size_t i = 0; i < slots.size() && i < lines.size(); ++i)
        slots[i] = lines[i];
    return slots;
}

std::string recentFilePath(const std::string& line) {
    return line.size() > kPrefixLength ? line.substr(kPrefixLength) : std::string{};
}

bool addToRecentFileList(const Places& places, const std::string& fileName) {
    if (fileName.empty())
        return false;
    RecentFileSlots slots = readRecentFileList(places);
    for (std::string& slot : slots) {
        slot = recentFilePath(slot);
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
    writeTextFileAtomically(recentFileListPath(places), lines);
    return true;
}

} // namespace veskaro
