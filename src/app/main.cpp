// The designer: start-up creates the main window and runs until it closes.

#include "PipelinePublisher.h"
#include "platform/SettingsStore.h"
#include "ui/BrowserServices.h"
#include "ui/QtPrompts.h"
#include "ui/QtShell.h"
#include "ui/TMainForm.h"

#include <QApplication>

using namespace veskaro;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veskaro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Veskaro"));
    QApplication::setDesktopFileName(QStringLiteral("veskaro"));

    QtPrompts prompts;
    PipelinePublisher publisher;
    const std::unique_ptr<SettingsStore> settings = openSystemSettingsStore();
    QtShell shell;
    BrowserServices browsers{*settings, shell, BrowserSearchPlaces::ofThisSystem()};
    TMainForm window(prompts, publisher, browsers);
    window.show();
    return QApplication::exec();
}
