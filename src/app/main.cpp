// The designer: start-up resolves the places of this run once, creates the main window over them, opens
// the project the command line names, and runs until the window closes.

#include "generate/Publisher.h"
#include "platform/CommandLine.h"
#include "platform/Places.h"
#include "platform/SettingsStore.h"
#include "platform/VeskaroError.h"
#include "ui/BrowserServices.h"
#include "ui/QtPrompts.h"
#include "ui/QtShell.h"
#include "ui/TMainForm.h"

#include <QApplication>
#include <QMessageBox>

#include <string>
#include <vector>

using namespace veskaro;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veskaro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Veskaro"));
    QApplication::setDesktopFileName(QStringLiteral("veskaro"));

    // Without a settings folder the window could keep nothing; say so before it is built.
    std::unique_ptr<SettingsStore> settings;
    try {
        settings = openSystemSettingsStore();
    } catch (const VeskaroError& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Veskaro"), QString::fromUtf8(error.what()));
        return 1;
    }
    const Places places = Places::ofThisSystem();
    QtPrompts prompts;
    Publisher publisher(places);
    QtShell shell;
    BrowserServices browsers{*settings, shell, BrowserSearchPlaces::ofThisSystem()};
    TMainForm window(prompts, publisher, places, browsers);
    window.show();
    // The application object has taken out the arguments meant for Qt itself; the rest name the project.
    window.openCommandLineFile(commandLineFileName(std::vector<std::string>(argv + 1, argv + argc)));
    return QApplication::exec();
}
