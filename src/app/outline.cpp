// Prints the outline of a project file on a terminal: the slider's size and its items with their links.
// The sample runner falls back to it where no display is available.

#include "model/PlainItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/VeskaroError.h"

#include <iostream>

using namespace veskaro;

namespace {

void printOutline(const TkvlAppletAgent& project, const PlainItemTree& tree) {
    const TAppletData data = project.GetAppletData();
    std::cout << "Slider \"" << data.pSliderName << "\", " << data.sliderWidth << " x " << data.sliderHeight
              << " pixels, " << project.itemCount() << " item(s):\n";
    for (int position = 1; position < tree.nodeCount(); ++position) {
        const TItemData item = project.GetItem(position - 1);
        std::cout << std::string(static_cast<std::size_t>(2 * tree.levelAt(position)), ' ') << tree.captionAt(position)
                  << "  -> " << (item.ILink.empty() ? "(no link)" : item.ILink) << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: veskaro-outline PROJECT.vsk\n";
        return 2;
    }
    try {
        TkvlAppletAgent project;
        project.SetDefaults();
        PlainItemTree tree("Slider");
        SilentProgressView progress;
        if (project.LoadFromFile(argv[1], tree, progress) == LoadOutcome::NotOurs) {
            std::cerr << kForeignProjectMessage << '\n';
            return 1;
        }
        printOutline(project, tree);
        return 0;
    } catch (const VeskaroError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
}
