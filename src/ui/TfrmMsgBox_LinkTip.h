#pragma once

#include <QDialog>

namespace veskaro {

namespace names {
inline constexpr auto frmMsgBox_LinkTip = "frmMsgBox_LinkTip";
inline constexpr auto LinkTipLabel1 = "Label1";
inline constexpr auto btnOK = "btnOK";
inline constexpr auto chckbxDontShow = "chckbxDontShow";
} // namespace names

class Prompts;
class SettingsStore;

/// The tip shown before a link is picked from a local page: local links may not work in every browser.
/// Its check box switches the tip off for later link picks, storing the choice at every click.
class TfrmMsgBox_LinkTip : public QDialog {
    Q_OBJECT
public:
    /// Errors of storing the choice are shown through prompts.
    TfrmMsgBox_LinkTip(SettingsStore& settings, Prompts& prompts, QWidget* parent = nullptr);

    // Handlers of the dialog, named after the controls they serve.
    void btnOKClick();
    void chckbxDontShowClick(bool ticked);

private:
    SettingsStore& m_settings;
    Prompts& m_prompts;
};

} // namespace veskaro
