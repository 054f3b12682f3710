// The designer window's help: the help buttons of the parameter groups, which show their page in the
// help window, the "Help" menu with its pages and addresses, and the About box.

#include "browse/HelpPageTable.h"
#include "model/MakerInfo.h"
#include "platform/FileUrl.h"
#include "platform/Places.h"
#include "platform/Shell.h"
#include "ui/BrowserServices.h"
#include "ui/ParameterPages.h"
#include "ui/Prompts.h"
#include "ui/TMainForm.h"
#include "ui/TformAbout.h"
#include "ui/TfrmHelp.h"
#include "ui/Utf8Text.h"

#include <QToolButton>
#include <QVariant>

#include <filesystem>

namespace veskaro {

namespace {

std::string dataFile(const Places& places, const char* folder, const std::string& file) {
    return (std::filesystem::path(places.dataFolder()) / folder / file).string();
}

} // namespace

void TMainForm::connectHelp() {
    for (QToolButton* button : m_pages->helpButtons())
        connect(button, &QToolButton::clicked, this,
                [this, button] { runCommand([this, button] { SpeedButton1Click(button); }); });
    connectCommand(m_controls.helpTopics, &TMainForm::Topic1Click);
    connectCommand(m_controls.viewSample, &TMainForm::ViewSample1Click);
    connectCommand(m_controls.homepage, &TMainForm::Homepage1Click);
    connectCommand(m_controls.contactUs, &TMainForm::ContactUs1Click);
    connectCommand(m_controls.about, &TMainForm::About1Click);
}

void TMainForm::SpeedButton1Click(QObject* sender) {
    showHelpPage(sender);
}

void TMainForm::showHelpPage(QObject* sender) {
    // A sender without a Tag counts as Tag 0, which the table does not hold.
    const std::string page = dataFile(m_places, "help", helpPageFile(sender->property("Tag").toInt()));
    m_help->Navigate(fromUtf8Text(PathToFileUrl(page)));
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void TMainForm::Topic1Click() {
    m_browsers.shell.openDocument(dataFile(m_places, "help", kHelpContentsPage));
}

void TMainForm::ViewSample1Click() {
    m_browsers.shell.openDocument(dataFile(m_places, "samples", "index.html"));
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
