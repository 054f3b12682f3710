#include "ui/TfrmHelp.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>

namespace veskaro {

TfrmHelp::TfrmHelp(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QLatin1String(names::frmHelp));
    setWindowTitle(tr("Help"));
    setFixedSize(402, 428);
    move(265, 180);
    m_view = new QTextBrowser(this);
    m_view->setObjectName(QLatin1String(names::HelpWebBrowser1));
    m_view->setGeometry(0, 0, 401, 427);
    // The pages link only to each other and to their pictures; every link opens in this view.
    m_view->setOpenLinks(true);
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

void TfrmHelp::showMissingPage(const QString& address) {
    m_view->setSource(QUrl());
    m_view->setHtml(tr("<h3>The help page cannot be found</h3><p>%1</p><p>The help files may not have been "
                       "installed with the program.</p>")
                        .arg(address.toHtmlEscaped()));
}

} // namespace veskaro
