// The project file: tag lines and positional values, each value ended by the separator "#$@".

#include "model/ProjectFile.h"

#include "model/ItemTree.h"
#include "model/ProgressView.h"
#include "model/TkvlAppletAgent.h"
#include "model/ValueText.h"
#include "platform/PathText.h"
#include "platform/TextEncoding.h"
#include "platform/TextFile.h"
#include "platform/VeskaroError.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace veskaro {

namespace {

constexpr const char* kHeaderLines[] = {
    "<Warning_Info>",
    "Note: This file was created and maintained by Veskaro 1.0.",
    "Do not modify it or script project may not be opened again!",
    "</Warning_Info>",
    "<Product_Name>",
    "Veskaro",
    "</Product_Name>",
    "<Product_Version>",
    "1.0",
    "</Product_Version>",
};

// The first count values of a line, as GetFieldN gives them one by one.
TStringArray splitFields(const std::string& line, int count, const std::string& separator) {
    TStringArray values;
    std::size_t start = 0;
    bool exhausted = false;
    for (int k = 0; k < count; ++k) {
        const std::size_t end = exhausted ? std::string::npos : line.find(separator, start);
        if (end == std::string::npos) {
            exhausted = true;
            values.emplace_back();
            continue;
        }
        values.push_back(line.substr(start, end - start));
        start = end + separator.size();
    }
    return values;
}

std::string joinFields(const TStringArray& values, const std::string& separator) {
    std::string line;
    for (const auto& value : values) {
        line += value;
        line += separator;
    }
    return line;
}

template <typename Record, typename Field, std::size_t N>
void listStorabilityProblems(const Record& record, const std::array<Field, N>& fields, const std::string& separator,
                             const std::string& owner, std::vector<std::string>& out) {
    for (const auto& field : fields) {
        const std::string problem = terminatorProblem(record.*field.member, separator);
        if (!problem.empty())
            out.push_back("The value \"" + std::string(field.name) + "\" of " + owner + " " + problem +
                          ", which a project file cannot hold.");
    }
}

// Only a plain file is read, and only once its size is known to be sane, so that no file (a device that
// never ends, a huge sparse file) can exhaust the memory. A file that cannot be looked at is left to the
// reader, which says why in the platform's words.
void ensureReadableProjectFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(pathOf(path), error);
    if (error)
        return;
    if (!fs::is_regular_file(status))
        throw VeskaroError("The project file " + path + " is not a regular file. Nothing was loaded.");
    const std::uintmax_t size = fs::file_size(pathOf(path), error);
    if (!error && size > kProjectFileSizeLimit)
        throw VeskaroError("The project file " + path + " is larger than " +
                           std::to_string(kProjectFileSizeLimit / (1024 * 1024)) +
                           " MiB, which no slider project comes near. Nothing was loaded.");
}

// Project text is UTF-8 in memory: a file of the older program, written in Windows-1252, is converted
// here, so that every front end reads the same text. The lines are read one at a time: a file of many
// short lines would take many times its size as a list of them.
Utf8LineReader readProjectLines(const std::string& path) {
    ensureReadableProjectFile(path);
    return Utf8LineReader(readFileBytes(path));
}

class ProjectLines {
public:
    ProjectLines(const std::string& path) : m_path(path), m_lines(readProjectLines(path)) {}

    // Reads the next line; a file that ends before its items are closed is refused as a whole.
    const std::string& next() {
        if (!m_lines.next(m_line))
            throw VeskaroError("The project file " + m_path +
                               " is incomplete: it ends before its list of items is closed. Nothing was loaded.");
        return m_line;
    }

    // Returns the next line, or nothing at the end of the file.
    const std::string* nextIfAny() { return m_lines.next(m_line) ? &m_line : nullptr; }

    void skipTo(const std::string& tag) {
        while (next() != tag) {
        }
    }

    // Finds the product tag that begins every project file. A file without one (a picture, a page, an
    // empty file) was never a project file, which says more than calling it incomplete.
    void skipToProductName() {
        while (m_lines.next(m_line))
            if (m_line == "<Product_Name>")
                return;
        throw VeskaroError("The file " + m_path + " is not a Veskaro project file. Nothing was loaded.");
    }

private:
    std::string m_path;
    Utf8LineReader m_lines;
    std::string m_line; // the line read last, which next() lends out until the one after
};

// Returns the lines of the options block, wherever it stands after the items; none when there is no block.
// A block the file ends in before its end tag keeps the lines it has.
std::vector<std::string> readOptionLines(ProjectLines& file) {
    const std::string* line = file.nextIfAny();
    while (line && *line != kOptionsBeginTag)
        line = file.nextIfAny();
    std::vector<std::string> lines;
    while (line && (line = file.nextIfAny()) && *line != kOptionsEndTag)
        lines.push_back(*line);
    return lines;
}

struct Placement {
    int level;          // depth below the root's children (0 for a child of the root)
    int parentPosition; // absolute tree position of the parent node
};

// Hangs every item where the file's levels put it. Levels the designer never writes are mended so that
// list and tree always agree: a first item deeper than 0 hangs under the root, and an item more than one
// level deeper than the item before hangs under that item.
std::vector<Placement> placeItems(const TItemArray& items) {
    std::vector<Placement> placements;
    std::vector<int> lastPositionAtLevel; // absolute position of the latest node of each level
    for (std::size_t i = 0; i < items.size(); ++i) {
        int stored;
        try {
            stored = strToInt(items[i].ILevel);
        } catch (const VeskaroError& error) {
            throw VeskaroError("Item " + std::to_string(i + 1) + " of the project file has an unreadable level: " +
                               error.what() + ". Nothing was loaded.");
        }
        const int deepest = placements.empty() ? 0 : placements.back().level + 1;
        const int level = std::clamp(stored, 0, deepest);
        const int position = static_cast<int>(i) + 1;
        placements.push_back({level, level == 0 ? 0 : lastPositionAtLevel[static_cast<std::size_t>(level) - 1]});
        lastPositionAtLevel.resize(static_cast<std::size_t>(level) + 1);
        lastPositionAtLevel.back() = position;
    }
    return placements;
}

} // namespace

std::string folderOfFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(pathOf(path), error);
    return textOf((error ? pathOf(path) : absolute).parent_path() / "");
}

std::string terminatorProblem(const std::string& value, const std::string& separator) {
    if (value.find(separator) != std::string::npos)
        return "contains \"" + separator + "\"";
    if (value.find_first_of("\r\n") != std::string::npos)
        return "contains a line break";
    return {};
}

std::string GetFieldN(const std::string& line, int n, const std::string& separator) {
    return n < 1 ? std::string{} : splitFields(line, n, separator).back();
}

std::vector<std::string> storabilityProblems(const TkvlAppletAgent& project) {
    std::vector<std::string> problems;
    const std::string& separator = project.separator();
    listStorabilityProblems(project.GetAppletData(), kAppletFields, separator, "the slider settings", problems);
    for (std::size_t i = 0; i < project.items().size(); ++i)
        listStorabilityProblems(project.items()[i], kItemFields, separator, "item " + std::to_string(i + 1), problems);
    for (const std::string& line : project.options().fileLines())
        if (line.find_first_of("\r\n") != std::string::npos)
            problems.push_back("The option \"" + line.substr(0, line.find('=')) +
                               "\" contains a line break, which a project file cannot hold.");
    return problems;
}

void ensureStorable(const TkvlAppletAgent& project) {
    const std::vector<std::string> problems = storabilityProblems(project);
    if (!problems.empty())
        throw VeskaroError(problems.front() + " Nothing was saved.");
}

void TkvlAppletAgent::SaveToFile(const std::string& path, ProgressView& progress) const {
    ensureStorable(*this);

    // A step for each header line, five for the script parameters, and one for each value of each item.
    constexpr int kHeaderSteps = static_cast<int>(std::size(kHeaderLines));
    constexpr int kParameterSteps = 5;
    constexpr int kItemSteps = static_cast<int>(kItemFields.size());
    progress.setMaximum(kItemSteps * itemCount() + kHeaderSteps + kParameterSteps);
    ProgressScope scope(progress, "Saving Data ... ...");
    std::vector<std::string> lines(std::begin(kHeaderLines), std::end(kHeaderLines));
    progress.step(kHeaderSteps);
    lines.emplace_back("<Applet_Parameters>");
    lines.push_back(joinFields(AppletDataToStrings(m_appletData), m_separator));
    lines.emplace_back("</Applet_Parameters>");
    progress.step(kParameterSteps);
    lines.emplace_back("<Item_Parameters>");
    for (const auto& item : m_items) {
        std::string line;
        for (const auto& value : ItemToStrings(item)) {
            line += value;
            line += m_separator;
            progress.step(1);
        }
        lines.push_back(std::move(line));
    }
    lines.emplace_back("</Item_Parameters>");
    // Readers of the older format stop at the items' end tag, so the options after it never trouble them;
    // a project whose options all have their defaults writes no block at all.
    if (const std::vector<std::string> options = m_options.fileLines(); !options.empty()) {
        lines.emplace_back(kOptionsBeginTag);
        lines.insert(lines.end(), options.begin(), options.end());
        lines.emplace_back(kOptionsEndTag);
    }
    writeTextFileAtomically(path, lines);
}

LoadOutcome TkvlAppletAgent::LoadFromFile(const std::string& path, ItemTree& tree, ProgressView& progress) {
    ProjectLines file(path);
    file.skipToProductName();
    const std::string& product = file.next();
    if (product != "Veskaro" && product != "Morrigale")
        return LoadOutcome::NotOurs;
    file.skipTo("<Product_Version>");
    const std::string version = file.next();
    file.skipTo("<Applet_Parameters>");
    const std::string& scriptLine = file.next();
    const TAppletData appletData =
        StringsToAppletData(splitFields(scriptLine, static_cast<int>(kAppletFields.size()), m_separator));
    for (const std::string* line = &scriptLine; *line != "<Item_Parameters>";)
        line = &file.next();

    ProgressScope scope(progress, "Loading Data ... ...");
    TItemArray items;
    for (const std::string* line = &file.next(); *line != "</Item_Parameters>"; line = &file.next())
        items.push_back(StringsToItem(splitFields(*line, static_cast<int>(kItemFields.size()), m_separator)));
    const std::vector<Placement> placements = placeItems(items);
    const ProjectOptions options = ProjectOptions::fromFileLines(readOptionLines(file));

    m_productVersion = version;
    m_projectFolder = folderOfFile(path);
    m_appletData = appletData;
    m_items = std::move(items);
    m_options = options;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        m_items[i].ILevel = std::to_string(placements[i].level);
        tree.addChild(placements[i].parentPosition, fileNamePart(m_items[i].IOriginalImagePath));
    }
    return LoadOutcome::Loaded;
}

} // namespace veskaro
