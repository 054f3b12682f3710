#pragma once

#include <QDialog>

class QLabel;

namespace veskaro {

namespace names {
inline constexpr auto formAbout = "formAbout";
inline constexpr auto Image1 = "Image1";
inline constexpr auto lblProductName = "lblProductName";
inline constexpr auto lblProductVersion = "lblProductVersion";
inline constexpr auto Label5 = "Label5";
inline constexpr auto Label2 = "Label2";
inline constexpr auto Label8 = "Label8";
inline constexpr auto Label3 = "Label3";
inline constexpr auto Label10 = "Label10";
inline constexpr auto Button1 = "Button1";
} // namespace names

class Shell;

/// The About box: the product's name, version and rights notice, and the maker's web site and support
/// page as links. A link turns red under the mouse and blue again when the mouse moves over the box.
class TformAbout : public QDialog {
    Q_OBJECT
public:
    /// The links are opened through shell.
    explicit TformAbout(Shell& shell, QWidget* parent = nullptr);

    // Handlers of the box, named after the controls they serve.
    void FormCreate();
    void Label8MouseMove();
    void Label10MouseMove();
    void FormMouseMove();
    void Label8Click();
    void Label10Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildBox();
    QLabel* linkLabel(const char* name, const char* address);

    Shell& m_shell;
    QLabel* m_productName = nullptr;
    QLabel* m_productVersion = nullptr;
    QLabel* m_homePage = nullptr;
    QLabel* m_supportPage = nullptr;
};

} // namespace veskaro
