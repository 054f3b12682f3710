#pragma once

#include <string>
#include <vector>

namespace veskaro {

class TkvlAppletAgent;

/// What a published file is for.
enum class PublishedKind { Page, Script, StyleSheet, Picture, ProjectFile, Report };

/// Where publishing takes a file from: the run's Staging folder (what it generates), the data folder (the
/// shipped slider scripts) or the run's Preview folder (the prepared pictures).
enum class FileOrigin { Staging, DataFolder, Preview };

/// One file that publishing writes into the published folder.
struct PublishedFile {
    std::string name; // a bare file name, the same in the origin folder and in the published folder
    FileOrigin origin;
    PublishedKind kind;

    bool operator==(const PublishedFile&) const = default;
};

/// Returns the files that publishing the project under fileName writes into its folder, each once, by the
/// names the project holds: the page, the linked files, the pictures in item order (each item's with the
/// copies its options ask for, publishedPicturesOf), the project file and the publish report. A published project holds
/// the names it was published with; asPublished(project) holds those a publish would give it. The publish report, the
/// folder update, the check and the command line all read this list.
std::vector<PublishedFile> publishedFiles(const TkvlAppletAgent& project, const std::string& fileName);

/// Returns the files of a publish that belong on the web server, given the project as its project file
/// holds it after that publish and the folder it was published to: what publishedFiles lists for it, without
/// the project file and the report, and every copy of a picture (possibleCopiesOf) found in folder, which
/// that publish may have made from a source that has since gone or shrunk. Both front ends upload these.
std::vector<PublishedFile> filesForTheWebServer(const TkvlAppletAgent& savedProject, const std::string& fileName,
                                                const std::string& folder);

/// Returns the name of the style sheet publishing writes for a slider name: the name without its blanks,
/// then ".css".
std::string styleSheetName(const std::string& sliderName);

/// Returns the name of the picture published for the item at index, or nothing. An item whose source
/// exists gets the picture prepared from it (in fallbackFormat) (nothing when its extension names no format we read,
/// which stops the preparation); an item without one keeps the picture it had, when that is a bare file name.
std::string plannedPictureName(const TkvlAppletAgent& project, int index);

/// Gives the project the values its published files hold: reserved emptied, each link switched between
/// the local and the web root as the Path page asks, each picture name the planned one, and the style
/// sheet named after the slider. The levels and the prepared sizes come from the tree and the preparation.
/// Publishing runs it once per publish, after the pictures are prepared.
void settlePublishedValues(TkvlAppletAgent& project);

/// Returns the project as publishing it now would write it (settlePublishedValues on a copy), for the
/// check and for predicting the published files.
TkvlAppletAgent asPublished(TkvlAppletAgent project);

} // namespace veskaro
