#include "generate/PageText.h"
#include "generate/RootPath.h"
#include "model/Folders.h"
#include "model/ItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

namespace veskaro {

namespace {

// The style sheet's entry in the linked files; its name follows the slider's.
constexpr std::size_t kStyleSheetEntry = 2;

void checkTreeMatches(const ItemTree& tree, int itemCount) {
    if (tree.nodeCount() != itemCount + 1)
        throw VeskaroError("The item tree holds " + std::to_string(tree.nodeCount() - 1) + " items but the project " +
                           std::to_string(itemCount) + "; the page was not made.");
}

} // namespace

void TkvlAppletAgent::GenerateHTML(const std::string& pagePath, ItemTree& tree, ProgressView& progress) {
    checkTreeMatches(tree, itemCount());
    CheckSliderName(m_appletData.pSliderName);
    CheckScriptTimings(m_appletData);

    const ProgressScope scope(progress, "Making HTML Codes ... ...");
    PrepareImages(tree, progress);
    PrepareItems(tree);

    const std::string sliderId = SliderId(m_appletData.pSliderName);
    m_linkedFiles.at(kStyleSheetEntry).FileName = sliderId + ".css";
    writeTextFileAtomically(GetStagingFolder() + sliderId + ".css", StyleSheetLines(m_appletData));
    writeTextFileAtomically(pagePath, PageLines(m_appletData, m_items, m_linkedFiles));
}

void TkvlAppletAgent::PrepareItems(const ItemTree& tree) {
    for (int k = 0; k < itemCount(); ++k) {
        TItemData& item = m_items[static_cast<std::size_t>(k)];
        item.ILevel = std::to_string(tree.levelAt(k + 1) - 1);
        item.ILink = SwitchRootPath(item.ILink, m_appletData);
    }
}

} // namespace veskaro
