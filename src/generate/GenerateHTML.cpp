#include "generate/PageText.h"
#include "generate/PublishedFiles.h"
#include "generate/Publisher.h"
#include "generate/PublishingProblems.h"
#include "model/ItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/Places.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

namespace veskaro {

namespace {

void checkTreeMatches(const ItemTree& tree, int itemCount) {
    if (tree.nodeCount() != itemCount + 1)
        throw VeskaroError("The item tree holds " + std::to_string(tree.nodeCount() - 1) + " items but the project " +
                           std::to_string(itemCount) + "; the page was not made.");
}

PictureMarkup pictureMarkupOf(const TkvlAppletAgent& project) {
    PictureMarkup markup;
    markup.lazyLoad = project.options().isOn("Pictures.LazyLoad");
    for (int k = 0; k < project.itemCount(); ++k)
        markup.pictures.push_back(publishedPicturesOf(project, k));
    return markup;
}

} // namespace

void Publisher::GenerateHTML(TkvlAppletAgent& project, const std::string& pagePath, ItemTree& tree,
                             ProgressView& progress) {
    checkTreeMatches(tree, project.itemCount());
    requireGeneratable(project.GetAppletData());

    const ProgressScope scope(progress, "Making HTML Codes ... ...");
    PrepareImages(project, tree, progress);
    PrepareItems(project, tree);

    const TAppletData data = project.GetAppletData();
    // The items' values, the links and the style sheet's name are those the page is written with.
    writeTextFileAtomically(m_places.GetStagingFolder() + styleSheetName(data.pSliderName), styleSheetLines(data));
    writeTextFileAtomically(pagePath,
                            pageLines(data, project.items(), project.linkedFiles(), pictureMarkupOf(project)));
}

void PrepareItems(TkvlAppletAgent& project, const ItemTree& tree) {
    for (int k = 0; k < project.itemCount(); ++k) {
        TItemData item = project.GetItem(k);
        item.ILevel = std::to_string(tree.levelAt(k + 1) - 1);
        project.SetItem(item, k);
    }
    settlePublishedValues(project);
}

} // namespace veskaro
