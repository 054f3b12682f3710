#pragma once

#include "browse/BrowserChoice.h"

#include <QDialog>

#include <string>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace veskaro {

namespace names {
inline constexpr auto formWebBrowser = "formWebBrowser";
inline constexpr auto RadioButtonBrowserDefault = "RadioButtonBrowserDefault";
inline constexpr auto RadioButtonBrowserKnownInSystem = "RadioButtonBrowserKnownInSystem";
inline constexpr auto ComboBoxBrowserList = "ComboBoxBrowserList";
inline constexpr auto RadioButtonBrowserUserSpecify = "RadioButtonBrowserUserSpecify";
inline constexpr auto editSpecifiedBrowserFileName = "editSpecifiedBrowserFileName";
inline constexpr auto spdbtnOpenExeFile = "spdbtnOpenExeFile";
inline constexpr auto bitbtnOk = "bitbtnOk";
inline constexpr auto bitbtnCancel = "bitbtnCancel";
} // namespace names

struct BrowserServices;
class Prompts;

/// The "Web Browser" dialog: chooses the browser that shows previews and opens pages with it. Each
/// creation detects the browsers and reads the stored choice anew; OK stores it, Cancel forgets it.
class TformWebBrowser : public QDialog {
    Q_OBJECT
public:
    TformWebBrowser(BrowserServices& services, Prompts& prompts, QWidget* parent = nullptr);

    /// Opens folder + fileName with the chosen browser without showing the dialog; returns how the launch
    /// went, never throwing.
    PageOpening OpenPage(const std::string& folder, const std::string& fileName);
    /// Returns the choice as the controls show it.
    const BrowserChoice& choice() const { return m_choice; }

    // Handlers of the dialog, named after the controls they serve.
    void RadioButtonBrowserKnownInSystemClick();
    void ComboBoxBrowserListChange(int index);
    void spdbtnOpenExeFileClick();
    void bitbtnOkClick();

private:
    void buildDialog();
    void connectHandlers();
    void FormCreate();
    void checkByUser(BrowserKind kind);
    void showChoice();

    BrowserServices& m_services;
    Prompts& m_prompts;
    BrowserChoice m_choice;

    QRadioButton* m_default = nullptr;
    QRadioButton* m_known = nullptr;
    QRadioButton* m_specified = nullptr;
    QComboBox* m_browserList = nullptr;
    QLineEdit* m_programPath = nullptr;
};

} // namespace veskaro
