#pragma once

#include <QWidget>

class QTextBrowser;

namespace veskaro {

namespace names {
inline constexpr auto frmHelp = "frmHelp";
inline constexpr auto HelpWebBrowser1 = "WebBrowser1";
} // namespace names

/// The help window: a small tool window beside the designer that shows one local help page. The
/// program keeps one for its whole run; closing it only hides it.
class TfrmHelp : public QWidget {
    Q_OBJECT
public:
    explicit TfrmHelp(QWidget* parent = nullptr);

    /// Shows the page at a file address in the view. A page that is missing gets a short note in its
    /// place, as a browser shows its own page-not-found display.
    void Navigate(const QString& address);
    /// Returns the address last navigated to.
    const QString& address() const { return m_address; }

    /// Returns the local file a file address names, in the Windows form "file:///D|/x.htm" as well as in
    /// the standard one; empty text for an address that names no local file.
    static QString localFileOf(const QString& address);

private:
    void showMissingPage(const QString& address);

    QTextBrowser* m_view = nullptr;
    QString m_address;
};

} // namespace veskaro
