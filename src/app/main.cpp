// The designer: start-up resolves the places of this run once, creates the main window over them, opens
// the project the command line names, and runs until the window closes.

#include "browse/PictureCacheSetting.h"
#include "generate/PictureCache.h"
#include "generate/Publisher.h"
#include "platform/CommandLine.h"
#include "platform/MemoryUse.h"
#include "platform/Places.h"
#include "platform/SettingsStore.h"
#include "ui/ApplicationIdentity.h"
#include "ui/BrowserServices.h"
#include "ui/QtPrompts.h"
#include "ui/QtShell.h"
#include "ui/RunCommand.h"
#include "ui/TMainForm.h"
#ifdef VESKARO_WINDOW_UPLOAD
#include "ui/KeychainSecretStore.h"
#endif

#include <QApplication>
#include <QScopeGuard>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace veskaro;

namespace {

// Builds the window over the places of a new run, opens the project the arguments name and runs until the
// window closes; the run's work folders go when it returns.
int runDesigner(const std::vector<std::string>& arguments, QtPrompts& prompts) {
    // Without a settings folder the window could keep nothing; the error says so before it is built.
    const std::unique_ptr<SettingsStore> settings = openSystemSettingsStore();
    prompts.keepDialogSizesIn(settings.get());
    const auto settingsGone = qScopeGuard([&prompts] { prompts.keepDialogSizesIn(nullptr); });
    const Places places = Places::ofThisSystem();
    Publisher publisher(places);
    publisher.setPreparationWorkers(preparationWorkersFromEnvironment());
    // The window's setting comes before the environment, which is read only without one.
    const std::optional<int> cacheMegabytes = readPictureCacheMegabytes(*settings);
    publisher.setPictureCache(pictureCacheIn(
        places.pictureCacheFolder(), cacheMegabytes ? *cacheMegabytes : pictureCacheMegabytesFromEnvironment()));
    QtShell shell;
    BrowserServices browsers{*settings, shell, BrowserSearchPlaces::ofThisSystem()};
#ifdef VESKARO_WINDOW_UPLOAD
    KeychainSecretStore secrets;
    UploadServices uploads{secrets};
#endif
    TMainForm window(prompts, publisher, places, browsers);
#ifdef VESKARO_WINDOW_UPLOAD
    window.setUploadServices(uploads);
#endif
    window.show();
    window.openCommandLineFile(commandLineFileName(arguments));
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    // Before Qt starts threads of its own, so that the picture workers share the one heap.
    shareOneHeap();
    QApplication application(argc, argv);
    setApplicationIdentity();

    QtPrompts prompts;
    // Start-up is a command boundary too: an error there is shown in an error box and ends the program
    // with status 1, never in an abort. The application object has taken out the arguments meant for Qt
    // itself; the rest name the project.
    int status = 1;
    runCommand(prompts, [&] { status = runDesigner(std::vector<std::string>(argv + 1, argv + argc), prompts); });
    return status;
}
