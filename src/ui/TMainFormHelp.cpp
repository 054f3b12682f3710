// The designer window's help: the help buttons of the parameter groups, which show their page in the
// help window, the "Help" menu with its pages and addresses, and the About box.

#include "browse/HelpPageTable.h"
#include "model/MakerInfo.h"
#include "platform/FileUrl.h"
#include "platform/ProgramFile.h"
#include "platform/Shell.h"
#include "ui/BrowserServices.h"
#include "ui/ControlNames.h"
#include "ui/Prompts.h"
#include "ui/TMainForm.h"
#include "ui/TformAbout.h"
#include "ui/TfrmHelp.h"

#include <QAction>
#include <QToolButton>
#include <QVariant>

#include <filesystem>

namespace veskaro {

namespace {

constexpr const char* kHelpButtons[] = {names::SpeedButton1,  names::SpeedButton2,  names::SpeedButton11,
                                        names::SpeedButton13, names::SpeedButton24, names::SpeedButton19,
                                        names::SpeedButton28};

std::string dataFile(const char* folder, const std::string& file) {
    return (std::filesystem::path(dataFolder()) / folder / file).string();
}

} // namespace

void TMainForm::connectHelp() {
    for (const char* name : kHelpButtons) {
        auto* button = &child<QToolButton>(name);
        connect(button, &QToolButton::clicked, this,
                [this, button] { runCommand([this, button] { SpeedButton1Click(button); }); });
    }
    connectCommand(&child<QAction>(names::Topic1), &TMainForm::Topic1Click);
    connectCommand(&child<QToolButton>(names::tlbtnHelp), &TMainForm::Topic1Click);
    connectCommand(&child<QAction>(names::ViewSample1), &TMainForm::ViewSample1Click);
    connectCommand(&child<QAction>(names::Homepage1), &TMainForm::Homepage1Click);
    connectCommand(&child<QAction>(names::ContactUs1), &TMainForm::ContactUs1Click);
    connectCommand(&child<QAction>(names::About1), &TMainForm::About1Click);
}

void TMainForm::SpeedButton1Click(QObject* sender) {
    // A sender without a Tag counts as Tag 0, which the table does not hold.
    const std::string page = dataFile("help", HelpPageFile(sender->property("Tag").toInt()));
    m_help->Navigate(QString::fromLocal8Bit(PathToFileUrl(page)));
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void TMainForm::Topic1Click() {
    m_browsers.shell.openDocument(dataFile("help", kHelpContentsPage));
}

void TMainForm::ViewSample1Click() {
    m_browsers.shell.openDocument(dataFile("samples", "index.html"));
}

void TMainForm::Homepage1Click() {
    m_browsers.shell.openAddress(kProductPageAddress);
}

void TMainForm::ContactUs1Click() {
    m_browsers.shell.openAddress(kSupportPageAddress);
}

void TMainForm::About1Click() {
    TformAbout about(m_browsers.shell, this);
    m_prompts.runDialog(about);
}

} // namespace veskaro
