#include "generate/Publisher.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <vector>

namespace veskaro {

void Publisher::WritePublishReport(const TkvlAppletAgent& project, const std::string& folder, const std::string& name,
                                   ProgressView& progress) {
    const std::string rule(77, '=');
    std::vector<std::string> lines{
        rule,
        "This file includes a list of filename and you need to upload them to Web server",
        "to get the script to work. All these files are saved into the same directory along",
        "with the project file (*.vsk) as well as this file.",
        "",
        rule,
        "",
    };
    progress.setMaximum(101);
    ProgressScope scope(progress, "Making Publish Report ... ...");
    lines.emplace_back("[Script/Flash file(s)]:");
    for (const TLinkedFileInfo& file : project.linkedFiles()) {
        lines.push_back("  " + file.FileName);
        progress.step(1);
    }
    lines.emplace_back("");
    lines.emplace_back("[Image and/or Sound File(s)]: They should be copied along with script files!");
    m_preview.ClearResourceFiles();
    std::vector<std::string> listed;
    auto list = [&](const std::string& fileName) {
        if (std::find(listed.begin(), listed.end(), fileName) != listed.end())
            return;
        listed.push_back(fileName);
        lines.push_back("  " + fileName);
    };
    for (const std::string& resource : m_preview.resourceFiles())
        list(resource);
    for (const TItemData& item : project.items())
        if (const std::string picture = pictureFileOf(item); !picture.empty())
            list(picture);
    progress.step(50);
    progress.step(50);
    lines.insert(lines.end(), {"", "", rule, "End of Publish Report", rule});
    writeTextFileAtomically(folder + name, lines);
}

} // namespace veskaro
