#include "generate/RootPath.h"

#include "model/ValueText.h"

#include <algorithm>

namespace veskaro {

namespace {

bool sameIgnoringCase(char a, char b) {
    return asciiLower(a) == asciiLower(b);
}

} // namespace

std::string replaceIgnoringCase(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty())
        return std::string(text);
    std::string result;
    auto rest = text.begin();
    while (true) {
        const auto match = std::search(rest, text.end(), from.begin(), from.end(), sameIgnoringCase);
        result.append(rest, match);
        if (match == text.end())
            return result;
        result.append(to);
        rest = match + static_cast<std::ptrdiff_t>(from.size());
    }
}

std::string switchRootPath(const std::string& link, const TAppletData& data) {
    const std::string& local = data.InternalUse_RootDir_Local;
    const std::string& remote = data.InternalUse_RootDir_Remote;
    if (trimText(local).empty() || trimText(remote).empty())
        return link;
    if (data.InternalUse_RootDir_Local_Checked == "1")
        return replaceIgnoringCase(link, remote, local);
    return replaceIgnoringCase(link, local, remote);
}

} // namespace veskaro
