#pragma once

#include <string>

namespace veskaro {

/// Makes path end in the path delimiter; an empty path becomes the delimiter alone.
void EnsureTrailingBackslash(std::string& path);

/// Where the program finds its shipped files and does its work. Start-up resolves it once, from the
/// running program and the system's per-user folders, and hands it down; nothing below asks the
/// environment again. The work folders are still created whenever they are asked for and missing, so
/// that a folder removed while the program runs (the Preview folder after a clean-up) comes back.
class Places {
public:
    /// The folders everything else is found from.
    struct Bases {
        std::string programFile;    // the running program, for the file association
        std::string dataFolder;     // the shipped slider scripts, help and samples
        std::string appDataBase;    // the user's application data folder; empty when the system has none
        std::string documentsBase;  // the user's documents folder; empty when the system has none
        std::string picturesFolder; // the user's pictures folder, as the system names it
    };

    explicit Places(Bases bases);
    /// Returns the places of this system: the program file and its data folder, the per-user folders.
    static Places ofThisSystem();

    const std::string& programFile() const { return m_bases.programFile; }
    /// Returns the folder of the shipped files (slider scripts, help, samples), ending in the delimiter.
    const std::string& dataFolder() const { return m_bases.dataFolder; }

    /// Returns the per-user data folder (application data, then Tarnwell, Veskaro, 1.0), creating each
    /// missing level. Throws VeskaroError when the base is missing or a level cannot be made.
    std::string GetAppDataFolder() const;
    /// Returns the Preview work folder below the data folder, creating what is missing.
    std::string GetPreviewFolder() const;
    /// Returns the Temp work folder below the data folder, creating what is missing.
    std::string GetTempFolder() const;
    /// Returns the Staging work folder below the data folder, creating what is missing: generated files
    /// wait there to be copied, because the program's own folder may be read-only.
    std::string GetStagingFolder() const;
    /// Returns the program's folder below the user's documents, creating each missing level.
    std::string GetDocumentsFolder() const;
    /// Returns the user's pictures folder as the system names it; creates nothing and never fails.
    const std::string& GetPicturesFolder() const { return m_bases.picturesFolder; }

private:
    std::string workFolder(const char* name, const char* failureMessage) const;

    Bases m_bases;
};

} // namespace veskaro
