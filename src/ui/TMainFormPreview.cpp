// The preview command and the browser dialog command of the designer window, and the report of the
// source pictures that a preview or a save did not find.

#include "generate/Publisher.h"
#include "platform/AsciiText.h"
#include "ui/Prompts.h"
#include "ui/TMainForm.h"
#include "ui/TformHTML.h"
#include "ui/TformWebBrowser.h"
#include "ui/Utf8Text.h"

#include <QLabel>
#include <QTreeWidgetItem>

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
    showMissingPictures();
}

// The warning captions that preparing the pictures gave hide which pictures were missing: each such node
// keeps the item's picture path as its tip, and the hint line counts them.
void TMainForm::showMissingPictures() {
    const std::vector<int>& missing = m_publisher.missingPictures();
    for (int position = 1; position < m_itemTree.nodeCount(); ++position)
        m_itemTree.nodeAt(position)->setToolTip(0, {});
    for (const int item : missing)
        m_itemTree.nodeAt(item + 1)->setToolTip(0, fromUtf8Text(trimText(m_project.GetItem(item).IOriginalImagePath)));
    const auto count = static_cast<int>(missing.size());
    if (count == 1)
        m_hint->setText(tr("1 picture was not found: see its node for its path."));
    else if (count > 1)
        m_hint->setText(tr("%1 pictures were not found: see their nodes.").arg(count));
}

void TMainForm::WebBrowser1Click() {
    TformWebBrowser browser(m_browsers, m_prompts, this);
    browser.exec();
}

} // namespace veskaro
