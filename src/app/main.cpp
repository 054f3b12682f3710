// The designer: start-up creates the main window and runs until it closes.

#include "PipelinePublisher.h"
#include "ui/QtPrompts.h"
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
    TMainForm window(prompts, publisher);
    window.show();
    return QApplication::exec();
}
