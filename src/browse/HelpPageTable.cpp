#include "browse/HelpPageTable.h"

#include <algorithm>

namespace veskaro {

std::string helpPageFile(int tag) {
    const auto* found = std::find_if(HelpPageTable.begin(), HelpPageTable.end(),
                                     [tag](const HelpPage& page) { return page.tag == tag; });
    return found == HelpPageTable.end() ? kGettingStartedPage : found->file;
}

} // namespace veskaro
