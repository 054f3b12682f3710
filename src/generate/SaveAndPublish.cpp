#include "generate/Publisher.h"
#include "generate/PublishingProblems.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/Places.h"

#include <filesystem>

namespace veskaro {

namespace {

namespace fs = std::filesystem;

void copyReplacing(const std::string& from, const std::string& to) {
    std::error_code ignored;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ignored);
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
    // Files the program writes carry reserved empty, as taking the parameters from the window leaves it.
    TAppletData data = project.GetAppletData();
    data.reserved.clear();
    project.SetAppletData(data);
    const std::string preview = m_places.GetPreviewFolder();
    const std::string base = projectBaseName(fileName);
    GenerateHTML(project, folder + base + ".html", tree, progress);
    const std::string generated = m_places.GetStagingFolder();
    for (const TLinkedFileInfo& file : project.linkedFiles())
        copyReplacing((file.Generated ? generated : m_places.dataFolder()) + file.FileName, folder + file.FileName);
    project.SaveToFile(folder + base + ".vsk", progress);
    WritePublishReport(project, folder, base + "_PublishReport.txt", progress);

    progress.setMaximum(100);
    ProgressScope scope(progress, "Copying Publishable Files ... ...");
    for (const TItemData& item : project.items()) {
        const std::string picture = pictureFileOf(item);
        std::error_code error;
        if (!picture.empty() && fs::exists(preview + picture, error))
            copyReplacing(preview + picture, folder + picture);
    }
    m_preview.ClearResourceFiles();
    for (const std::string& name : m_preview.resourceFiles())
        copyReplacing(preview + name, folder + name);
    progress.step(50);
    progress.step(50);
    return true;
}

} // namespace veskaro
