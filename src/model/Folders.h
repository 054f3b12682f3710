#pragma once

#include <string>

namespace veskaro {

/// Makes path end in the path delimiter; an empty path becomes the delimiter alone.
void EnsureTrailingBackslash(std::string& path);

/// Returns the program's per-user data folder (application data, then Tarnwell, Veskaro, 1.0), creating
/// each missing level. Throws VeskaroError when the base is missing or a level cannot be made.
std::string GetAppDataFolder();
/// Returns the Preview work folder below the data folder, creating what is missing.
std::string GetPreviewFolder();
/// Returns the Temp work folder below the data folder, creating what is missing.
std::string GetTempFolder();
/// Returns the Staging work folder below the data folder, creating what is missing: generated files
/// wait there to be copied, because the program's own folder may be read-only.
std::string GetStagingFolder();
/// Returns the program's folder below the user's documents, creating each missing level.
std::string GetDocumentsFolder();
/// Returns the user's pictures folder as the system names it; creates nothing and never fails.
std::string GetPicturesFolder();

} // namespace veskaro
