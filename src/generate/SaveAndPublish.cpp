#include "generate/Publisher.h"
#include "generate/PublishingProblems.h"
#include "generate/RemovedAtExit.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/FolderUpdate.h"
#include "platform/PathText.h"
#include "platform/Places.h"

#include <filesystem>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

} // namespace

std::string projectBaseName(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

Publisher::Publisher(const Places& places) : m_places(places), m_preview(places) {}

bool Publisher::SaveAndPublish(TkvlAppletAgent& project, const std::string& folder, const std::string& fileName,
                               ItemTree& tree, ProgressView& progress) {
    // Whatever publishing would refuse halfway is refused here, before anything is written, so that a
    // refusal leaves the folder as it was.
    requirePublishable(project, m_places, folder, fileName);
    // A publish that fails or is stopped leaves the project as it was: the items keep their pictures and
    // levels, and a window that saves again starts from what the user had.
    const TkvlAppletAgent before = project;
    try {
        publishInto(project, folder, fileName, tree, progress);
    } catch (...) {
        project = before;
        throw;
    }
    return true;
}

void Publisher::publishInto(TkvlAppletAgent& project, const std::string& folder, const std::string& fileName,
                            ItemTree& tree, ProgressView& progress) {
    // Files the program writes carry reserved empty, as taking the parameters from the window leaves it.
    TAppletData data = project.GetAppletData();
    data.reserved.clear();
    project.SetAppletData(data);
    const std::string preview = m_places.GetPreviewFolder();
    const std::string base = projectBaseName(fileName);
    // The page, the project file and the report are made in the Staging folder first and placed beside
    // the pictures with everything else, so that nothing in the project's folder changes until every new
    // file is whole beside it.
    const std::string staging = m_places.GetStagingFolder();
    const RemovedAtExit page(staging + base + ".html");
    const RemovedAtExit projectFile(staging + base + ".vsk");
    const std::string reportName = base + kPublishReportSuffix;
    const RemovedAtExit report(staging + reportName);
    GenerateHTML(project, page.path(), tree, progress);
    project.SaveToFile(projectFile.path(), progress);
    WritePublishReport(project, staging, reportName, progress);

    progress.setMaximum(100);
    ProgressScope scope(progress, "Copying Publishable Files ... ...");
    // Every copy is checked: a page naming a picture or script that did not arrive is no publish. The
    // renames run in the order of adding: what the page names first, then the page, the project file and
    // the report, so that an interrupted publish never leaves a page naming a file not yet in place.
    FolderUpdate update(folder);
    for (const TItemData& item : project.items()) {
        const std::string picture = pictureFileOf(item);
        std::error_code error;
        // An item whose source is missing was not prepared and keeps its picture's name: the picture goes
        // along when the Preview folder still holds it, else the one published before stays.
        if (!picture.empty() && fs::exists(pathOf(preview + picture), error))
            update.add(preview + picture, picture);
    }
    m_preview.ClearResourceFiles();
    for (const std::string& name : m_preview.resourceFiles())
        update.add(preview + name, name);
    for (const TLinkedFileInfo& file : project.linkedFiles())
        update.add((file.Generated ? staging : m_places.dataFolder()) + file.FileName, file.FileName);
    update.add(page.path(), base + ".html");
    update.add(projectFile.path(), base + ".vsk");
    update.add(report.path(), reportName);
    progress.step(50);
    update.commit();
    progress.step(50);
}

} // namespace veskaro
