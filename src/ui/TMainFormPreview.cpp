// The preview command and the browser dialog command of the designer window.

#include "generate/Publisher.h"
#include "ui/Prompts.h"
#include "ui/TMainForm.h"
#include "ui/TformHTML.h"
#include "ui/TformWebBrowser.h"

namespace veskaro {

bool TMainForm::BuildHTML() {
    if (m_itemTree.nodeCount() <= 1) {
        m_prompts.showMessage(PromptIcon::Error, tr("No item to build. Please add item to left pane and try again."),
                              PromptButtons::Ok);
        return false;
    }
    storePagesIntoProject();
    m_htmlHolder->setPageLines(m_publisher.generatePageLines(m_project, m_itemTree, m_progress));
    return true;
}

void TMainForm::Preview1Click() {
    previewInBrowser();
}

void TMainForm::previewInBrowser() {
    if (!BuildHTML())
        return;
    const std::string previewFolder = m_publisher.gatherPreview(m_project, m_htmlHolder->pageLines(), m_progress);
    TformWebBrowser browser(m_browsers, m_prompts, this);
    browser.OpenPage(previewFolder, kPreviewPageName);
}

void TMainForm::WebBrowser1Click() {
    TformWebBrowser browser(m_browsers, m_prompts, this);
    browser.exec();
}

} // namespace veskaro
