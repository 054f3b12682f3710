#include "ui/TfrmHelp.h"

#include "platform/Shell.h"
#include "ui/Utf8Text.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>

namespace veskaro {

namespace {

bool isHelpPage(const QFileInfo& file) {
    return file.suffix().compare(QLatin1String("htm"), Qt::CaseInsensitive) == 0 ||
           file.suffix().compare(QLatin1String("html"), Qt::CaseInsensitive) == 0;
}

} // namespace

// A tool window would look right, but desktops keep a tool window above the windows of its program, where
// it hides the designer's menus and tree: a plain window with only a close box and a fixed size does not.
TfrmHelp::TfrmHelp(Shell& shell)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      m_shell(shell) {
    // The designer's window alone decides when the program ends.
    setAttribute(Qt::WA_QuitOnClose, false);
    setObjectName(QLatin1String(names::frmHelp));
    setWindowTitle(tr("Help"));
    setFixedSize(402, 428);
    move(265, 180);
    m_view = new QTextBrowser(this);
    m_view->setObjectName(QLatin1String(names::HelpWebBrowser1));
    m_view->setGeometry(0, 0, 401, 427);
    m_view->setOpenLinks(false);
    connect(m_view, &QTextBrowser::anchorClicked, this, &TfrmHelp::followLink);
}

QString TfrmHelp::localFileOf(const QString& address) {
    // "file:///D|/Tools/help/x.htm" names D:/Tools/help/x.htm; blanks stand unescaped in that form.
    static const QRegularExpression windowsForm(QStringLiteral("^file:///([A-Za-z])\\|(/.*)$"));
    if (const QRegularExpressionMatch match = windowsForm.match(address); match.hasMatch())
        return match.captured(1) + u':' + match.captured(2);
    const QUrl url(address);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

void TfrmHelp::Navigate(const QString& address) {
    m_address = address;
    const QString file = localFileOf(address);
    if (!QFileInfo(file).isFile()) {
        showMissingPage(address);
        return;
    }
    m_view->setSource(QUrl::fromLocalFile(file));
}

void TfrmHelp::followLink(const QUrl& link) {
    const QUrl target = m_view->source().resolved(link);
    if (!target.isLocalFile()) {
        m_shell.openAddress(target.toString(QUrl::FullyEncoded).toStdString());
        return;
    }
    const QFileInfo file(target.toLocalFile());
    const QFileInfo shown(m_view->source().toLocalFile());
    // The view shows plain pages well; the sample sliders need a real browser.
    if (isHelpPage(file) && file.absolutePath() == shown.absolutePath())
        m_view->setSource(target);
    else
        m_shell.openDocument(toUtf8Text(QDir::toNativeSeparators(file.absoluteFilePath())));
}

void TfrmHelp::showMissingPage(const QString& address) {
    m_view->setSource(QUrl());
    m_view->setHtml(tr("<h3>The help page cannot be found</h3><p>%1</p><p>The help files may not have been "
                       "installed with the program.</p>")
                        .arg(address.toHtmlEscaped()));
}

} // namespace veskaro
