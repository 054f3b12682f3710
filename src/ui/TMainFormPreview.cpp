// The preview command and the browser dialog command of the designer window, and the report of the
// source pictures that a preview or a save did not find.

#include "generate/PictureCache.h"
#include "generate/PublishedFiles.h"
#include "generate/Publisher.h"
#include "generate/PublishingProblems.h"
#include "platform/AsciiText.h"
#include "platform/Places.h"
#include "platform/VeskaroError.h"
#include "ui/Prompts.h"
#include "ui/TMainForm.h"
#include "ui/TformHTML.h"
#include "ui/TformWebBrowser.h"
#include "ui/Utf8Text.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <QTreeWidgetItem>

#include <algorithm>
#include <chrono>
#include <string_view>

namespace veskaro {

namespace {

// The page's lines between the line first and the line last, each ended by CR LF as the page's lines are;
// withMarks takes the two lines themselves along.
QString linesBetween(const std::vector<std::string>& lines, std::string_view first, std::string_view last,
                     bool withMarks) {
    const auto begin = std::find(lines.begin(), lines.end(), first);
    const auto end = std::find(begin, lines.end(), last);
    if (begin == lines.end() || end == lines.end())
        throw VeskaroError("The page has no block between \"" + std::string(first) + "\" and \"" + std::string(last) +
                           "\".");
    QString text;
    for (auto line = withMarks ? begin : begin + 1; line != (withMarks ? end + 1 : end); ++line)
        text += fromUtf8Text(*line) + QStringLiteral("\r\n");
    return text;
}

} // namespace

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
    const PageOpening opening = browser.OpenPage(previewFolder, kPreviewPageName);
    showMissingPictures();
    showPictureCacheNotice();
    // The launch itself says nothing; a browser that does not start would leave the user waiting.
    if (!opening.started)
        m_hint->setText(opening.program.empty()
                            ? tr("The default browser could not be started: see Option > Web Browser.")
                            : tr("The browser %1 could not be started: see Option > Web Browser.")
                                  .arg(QDir::toNativeSeparators(fromUtf8Text(opening.program))));
}

// The warning captions that preparing the pictures gave hide which pictures were missing: each such node
// keeps the item's picture path as its tip, or says that the item has none, and the hint line counts them.
void TMainForm::showMissingPictures() {
    showMissingPictures(m_publisher.missingPictures());
}

// A project opened with pictures missing says so at once, as a save would: each such node gets the
// warning caption and holds the path it looks for as its tip, and the hint line counts them.
void TMainForm::markMissingPicturesOfOpenedProject() {
    std::vector<int> missing;
    for (int k = 0; k < m_project.itemCount(); ++k) {
        if (sourcePictureOf(m_project, k).empty()) {
            missing.push_back(k);
            m_itemTree.setCaption(k + 1, kMissingPictureCaption);
        }
    }
    showMissingPictures(missing);
}

void TMainForm::showMissingPictures(const std::vector<int>& missing) {
    for (int position = 1; position < m_itemTree.nodeCount(); ++position)
        m_itemTree.nodeAt(position)->setToolTip(0, {});
    int notFound = 0;
    int withoutPicture = 0;
    for (const int item : missing) {
        const QString path = fromUtf8Text(trimText(m_project.GetItem(item).IOriginalImagePath));
        ++(path.isEmpty() ? withoutPicture : notFound);
        m_itemTree.nodeAt(item + 1)->setToolTip(
            0, path.isEmpty() ? tr("This item has no picture: choose one on its page.") : path);
    }
    QStringList parts;
    if (notFound == 1)
        parts << tr("1 picture was not found: see its node for its path.");
    else if (notFound > 1)
        parts << tr("%1 pictures were not found: see their nodes.").arg(notFound);
    if (withoutPicture == 1)
        parts << tr("1 item has no picture.");
    else if (withoutPicture > 1)
        parts << tr("%1 items have no picture.").arg(withoutPicture);
    if (!parts.isEmpty())
        m_hint->setText(parts.join(u' '));
}

// A cache that cannot be written only makes saving slower; the user hears of it once. The missing pictures,
// which change the page, keep the hint line while there are any, and the notice waits.
bool TMainForm::showPictureCacheNotice() {
    PictureCache* cache = m_publisher.pictureCache();
    if (!cache || !m_publisher.missingPictures().empty())
        return false;
    const std::optional<std::string> notice = cache->takeNotice();
    if (notice)
        m_hint->setText(fromUtf8Text(*notice));
    return notice.has_value();
}

// The hint line says where the save went, for a few seconds; the missing pictures, when there are any,
// matter more and stay.
void TMainForm::showSaved(const std::string& folder, const std::string& fileName) {
    if (!m_publisher.missingPictures().empty() || showPictureCacheNotice())
        return;
    const auto files = static_cast<int>(publishedFiles(m_project, fileName).size());
    const QString text = tr("Saved %1 files to %2").arg(files).arg(QDir::toNativeSeparators(fromUtf8Text(folder)));
    m_hint->setText(text);
    QTimer::singleShot(std::chrono::seconds(5), m_hint, [hint = m_hint, text] {
        if (hint->text() == text)
            hint->clear();
    });
}

void TMainForm::copyEmbedCode() {
    if (!BuildHTML())
        return;
    const std::vector<std::string>& lines = m_htmlHolder->pageLines();
    const QString head = linesBetween(lines, "<!-- BEGIN -->", "<!-- END -->", false);
    const QString body = linesBetween(lines, "<!-- START COPYING FROM HERE -->", "<!-- END OF COPYING -->", true);
    const QString newline = QStringLiteral("\r\n");
    QGuiApplication::clipboard()->setText(
        tr("<!-- Into the head of your page, beside the other style sheets: -->") + newline + head + newline +
        tr("<!-- Into the body of your page, where the slider goes; the pictures, the scripts and the style "
           "sheet go into the page's folder: -->") +
        newline + body);
    m_hint->setText(tr("Embed code copied: the first block goes into your page's head, the second into its body."));
}

void TMainForm::WebBrowser1Click() {
    TformWebBrowser browser(m_browsers, m_prompts, this);
    browser.exec();
}

void TMainForm::ClearPictureCache1Click() {
    const std::string& folder = m_places.pictureCacheFolder();
    if (folder.empty()) {
        m_hint->setText(tr("This system names no cache folder: there is no picture cache to clear."));
        return;
    }
    const std::size_t removed = PictureCache(folder, 0).clear();
    m_hint->setText(tr("Picture cache cleared: %n file(s) removed.", nullptr, static_cast<int>(removed)));
}

} // namespace veskaro
