#pragma once

#include <memory>
#include <string>

namespace veskaro {

class WorkRun;

/// Makes path end in the path delimiter; an empty path becomes the delimiter alone.
void EnsureTrailingBackslash(std::string& path);

/// Where the program finds its shipped files and does its work. Start-up resolves it once, from the
/// running program and the system's per-user folders, and hands it down; nothing below asks the
/// environment again. The work folders are still created whenever they are asked for and missing, so
/// that a folder removed while the program runs (the Preview folder after a clean-up) comes back.
///
/// Each Places is one run of the program: its Preview, Temp and Staging folders are folders of its own
/// below the shared ones, so that two runs (two windows, a window and veskaro-cli) never see each other's
/// files. They are removed when the last copy of the Places goes; a run that dies leaves them to the next
/// start, which removes them once their owner is gone.
class Places {
public:
    /// The folders everything else is found from.
    struct Bases {
        std::string programFile;    // the running program, for the file association
        std::string dataFolder;     // the shipped slider scripts, help and samples
        std::string appDataBase;    // the user's application data folder; empty when the system has none
        std::string documentsBase;  // the user's documents folder; empty when the system has none
        std::string picturesFolder; // the user's pictures folder, as the system names it
        std::string cacheBase = {}; // the user's cache folder; empty when the system has none
    };

    /// Creates the places of a new run over bases; nothing is made on disk until a folder is asked for.
    explicit Places(Bases bases);
    /// Returns the places of a new run on this system (the program file and its data folder, the per-user
    /// folders), after removing what runs that have ended left in the work folders.
    static Places ofThisSystem();

    const std::string& programFile() const { return m_bases.programFile; }
    /// Returns the folder of the shipped files (slider scripts, help, samples), ending in the delimiter.
    const std::string& dataFolder() const { return m_bases.dataFolder; }

    /// Returns the per-user data folder (application data, then Tarnwell, Veskaro, 1.0), creating each
    /// missing level. Throws VeskaroError when the base is missing or a level cannot be made.
    std::string GetAppDataFolder() const;
    /// Returns this run's Preview folder (below the data folder's Preview), creating what is missing.
    std::string GetPreviewFolder() const;
    /// Returns this run's Temp folder (below the data folder's Temp), creating what is missing.
    std::string GetTempFolder() const;
    /// Returns this run's Staging folder (below the data folder's Staging), creating what is missing:
    /// generated files wait there to be copied, because the program's own folder may be read-only.
    std::string GetStagingFolder() const;
    /// Returns the Temp folder that all runs share, creating what is missing: the recent-files list lies
    /// there.
    std::string GetSharedTempFolder() const;
    /// Returns the program's folder below the user's documents, creating each missing level.
    std::string GetDocumentsFolder() const;
    /// Returns the user's pictures folder as the system names it; creates nothing and never fails.
    const std::string& GetPicturesFolder() const { return m_bases.picturesFolder; }

    /// Returns the folder of the prepared pictures kept between runs (the cache base, then Tarnwell, Veskaro,
    /// 1.0 and Pictures), ending in the delimiter; empty text when the system names no cache base. Creates
    /// nothing: a cache that cannot be made only costs time.
    const std::string& pictureCacheFolder() const { return m_pictureCacheFolder; }

    /// Removes this run's Preview folder when it is empty, then the shared Preview folder when no run has a
    /// folder there any more; creates nothing and reports nothing.
    void removeEmptyPreviewFolder() const;

    /// Returns the name of this run's folders below the shared Preview, Temp and Staging folders.
    const std::string& runName() const;
    /// Removes the folders that runs which have ended left below the work folders; never fails, and makes
    /// nothing when there is no data folder yet.
    void removeEndedRuns() const;

private:
    std::string dataFolderPath() const;
    std::string runFolder(const char* name, const char* failureMessage) const;

    Bases m_bases;
    std::string m_pictureCacheFolder;
    std::shared_ptr<WorkRun> m_run;
};

} // namespace veskaro
