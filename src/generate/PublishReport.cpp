#include "generate/PublishedFiles.h"
#include "generate/Publisher.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/TextFile.h"

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
    // The report names the files it lists by the names the project holds; the page's own name plays no
    // part in either section.
    const std::vector<PublishedFile> files = publishedFiles(project, name);
    lines.emplace_back("[Script/Flash file(s)]:");
    for (const PublishedFile& file : files) {
        if (file.kind != PublishedKind::Script && file.kind != PublishedKind::StyleSheet)
            continue;
        lines.push_back("  " + file.name);
        progress.step(1);
    }
    lines.emplace_back("");
    lines.emplace_back("[Image and/or Sound File(s)]: They should be copied along with script files!");
    for (const PublishedFile& file : files)
        if (file.kind == PublishedKind::Picture)
            lines.push_back("  " + file.name);
    progress.step(50);
    progress.step(50);
    lines.insert(lines.end(), {"", "", rule, "End of Publish Report", rule});
    writeTextFileAtomically(folder + name, lines);
}

} // namespace veskaro
