#pragma once

#include <QWidget>

class QTextBrowser;
class QUrl;

namespace veskaro {

namespace names {
inline constexpr auto frmHelp = "frmHelp";
inline constexpr auto HelpWebBrowser1 = "WebBrowser1";
} // namespace names

class Shell;

/// The help window: a small window of its own beside the designer that shows one local help page. It has
/// no owner, so that a click on the designer brings the designer in front of it. The program keeps one for
/// its whole run; closing it only hides it.
class TfrmHelp : public QWidget {
    Q_OBJECT
public:
    /// Links that leave the help pages are opened through shell.
    explicit TfrmHelp(Shell& shell);

    /// Shows the page at a file address in the view. A page that is missing gets a short note in its
    /// place, as a browser shows its own page-not-found display.
    void Navigate(const QString& address);
    /// Returns the address last navigated to.
    const QString& address() const { return m_address; }

    /// Returns the local file a file address names, in the Windows form "file:///D|/x.htm" as well as in
    /// the standard one; empty text for an address that names no local file.
    static QString localFileOf(const QString& address);

    /// Follows a link of the page shown: another help page beside it is shown here, anything else (the
    /// samples, web addresses) is handed to the desktop.
    void followLink(const QUrl& link);

private:
    void showMissingPage(const QString& address);

    Shell& m_shell;
    QTextBrowser* m_view = nullptr;
    QString m_address;
};

} // namespace veskaro
