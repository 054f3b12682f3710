#include "generate/PublishedFiles.h"
#include "generate/Publisher.h"
#include "generate/PublishingProblems.h"
#include "generate/RemovedAtExit.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "platform/FolderUpdate.h"
#include "platform/PathText.h"
#include "platform/Places.h"

#include <algorithm>
#include <filesystem>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

// The renames run in this order: what the page names first (pictures, then scripts and the style sheet),
// then the page, the project file and the report, so that an interrupted publish never leaves a page
// naming a file not yet in place.
int placementRank(PublishedKind kind) {
    switch (kind) {
    case PublishedKind::Picture:
        return 0;
    case PublishedKind::Script:
    case PublishedKind::StyleSheet:
        return 1;
    case PublishedKind::Page:
        return 2;
    case PublishedKind::ProjectFile:
        return 3;
    case PublishedKind::Report:
        break;
    }
    return 4;
}

std::vector<PublishedFile> inPlacementOrder(std::vector<PublishedFile> files) {
    std::stable_sort(files.begin(), files.end(), [](const PublishedFile& a, const PublishedFile& b) {
        return placementRank(a.kind) < placementRank(b.kind);
    });
    return files;
}

// A link in the folder being published is replaced, never followed, except that the project file the
// user opened through a link is saved where the link leads, as a Save of it should be.
FolderUpdate::Links projectFileLinks(const TkvlAppletAgent& project, const std::string& folder) {
    std::error_code error;
    return !project.projectFolder().empty() && fs::equivalent(pathOf(folder), pathOf(project.projectFolder()), error)
               ? FolderUpdate::Links::WriteThrough
               : FolderUpdate::Links::Replace;
}

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
    FolderUpdate update(folder);
    for (const PublishedFile& file : inPlacementOrder(publishedFiles(project, fileName))) {
        const std::string source = originFolder(file.origin) + file.name;
        std::error_code error;
        // An item whose source is missing was not prepared and keeps its picture's name: the picture goes
        // along when the Preview folder still holds it, else the one published before stays. Every other
        // file must arrive: a page naming a script that did not is no publish.
        if (file.kind == PublishedKind::Picture && !fs::exists(pathOf(source), error))
            continue;
        update.add(source, file.name,
                   file.kind == PublishedKind::ProjectFile ? projectFileLinks(project, folder)
                                                           : FolderUpdate::Links::Replace);
    }
    progress.step(50);
    update.commit();
    progress.step(50);
}

std::string Publisher::originFolder(FileOrigin origin) const {
    switch (origin) {
    case FileOrigin::Staging:
        return m_places.GetStagingFolder();
    case FileOrigin::DataFolder:
        return m_places.dataFolder();
    case FileOrigin::Preview:
        break;
    }
    return m_places.GetPreviewFolder();
}

} // namespace veskaro
