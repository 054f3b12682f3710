#include "platform/PortableFileName.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <array>

namespace veskaro {

namespace {

constexpr std::string_view kForbiddenCharacters = "<>:\"/\\|?*";

// Windows opens these as devices in every folder, whatever extension follows.
constexpr std::array<std::string_view, 22> kReservedNames{
    "con",  "prn",  "aux",  "nul",  "com1", "com2", "com3", "com4", "com5", "com6", "com7",
    "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9"};

bool isForbidden(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code < 32 || kForbiddenCharacters.find(c) != std::string_view::npos;
}

// The system takes the part before the first dot, less the blanks that end it, for the device name:
// "nul.tar.gz" and "CON .html" name devices too.
bool isReserved(std::string_view fileName) {
    std::string_view stem = fileName.substr(0, fileName.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    return std::find(kReservedNames.begin(), kReservedNames.end(), asciiLower(stem)) != kReservedNames.end();
}

} // namespace

PortableNameProblem portableNameProblem(std::string_view fileName) {
    if (std::any_of(fileName.begin(), fileName.end(), isForbidden))
        return PortableNameProblem::ForbiddenCharacter;
    if (isReserved(fileName))
        return PortableNameProblem::ReservedName;
    return PortableNameProblem::None;
}

} // namespace veskaro
