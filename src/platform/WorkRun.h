#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace veskaro {

/// The claim of one run of the program (a window, a veskaro-cli process) on folders of its own below the
/// shared Preview, Temp and Staging folders, so that two runs never see each other's files. While it works,
/// the run holds a lock file in the shared Temp folder locked; the system lets go of that lock however the
/// run ends, also when it is killed, so a later start can tell the folders of a run that died from those of
/// a run that still works. A process id alone could not: ids are reused, and a container sharing the home
/// folder counts its processes anew.
class WorkRun {
public:
    /// The shared work folders below the data folder, each holding one folder per run.
    static constexpr const char* kPreviewFolder = "Preview";
    static constexpr const char* kTempFolder = "Temp";
    static constexpr const char* kStagingFolder = "Staging";

    /// Names a new run after the process and a random number; nothing is made on disk yet.
    WorkRun();
    /// Removes the run's folders and then its lock file, when it claimed them; reports nothing.
    ~WorkRun();
    WorkRun(const WorkRun&) = delete;
    WorkRun& operator=(const WorkRun&) = delete;

    /// Returns the name of the run's folders below Preview, Temp and Staging.
    const std::string& name() const { return m_name; }

    /// Holds the run's lock file in dataFolder's Temp folder (both must exist; dataFolder ends in the
    /// delimiter), making it anew when it was removed meanwhile. Returns false when it cannot be made.
    bool claim(const std::string& dataFolder);

    /// Removes, below dataFolder's Preview, Temp and Staging folders, the folders of every run that has
    /// ended, and the lock files they left. Folders of runs that still work and every other file stay;
    /// nothing is made and nothing is reported.
    static void removeEndedRuns(const std::string& dataFolder);

    /// Removes dataFolder's shared Preview and Staging folders when no run has a folder there; Temp, which
    /// holds the recent-files list and the locks, stays.
    static void removeEmptySharedFolders(const std::string& dataFolder);

    /// Tells whether a file name is the name of a run's folders.
    static bool isRunName(std::string_view name);

private:
    void release();

    std::string m_name;
    std::string m_dataFolder; // where the run claimed its folders; empty while it claimed none
    std::mutex m_mutex;       // the pictures may be prepared on several threads, each asking for a folder
#ifdef _WIN32
    void* m_lock = nullptr;
#else
    int m_lock = -1;
#endif
};

} // namespace veskaro
