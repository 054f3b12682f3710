#pragma once

#include "browse/TWebBrowserNamePath.h"

#include <array>
#include <string>

namespace veskaro {

class SettingsStore;
class Shell;

/// The per-user key that keeps the choice of the preview browser.
inline constexpr const char* kWebBrowsersKey = "\\Software\\KVL\\Veskaro\\1.0\\Web Browsers";

/// The three mutually exclusive ways to show a page.
enum class BrowserKind { Default, Known, Specified };

/// How showing a page went: whether a browser was started, and which one was asked to start.
struct PageOpening {
    bool started = false;
    std::string program; // empty: the desktop's default browser
};

/// What the browser dialog holds: the detected browsers, which of the three choices is checked, the
/// selected browser and the program the user named, with the dialog's rules for changing them. It
/// starts as the dialog does: default browser checked, nothing selected, no program.
class BrowserChoice {
public:
    explicit BrowserChoice(TWebBrowserNamePathArray detected = {});

    const TWebBrowserNamePathArray& detectedBrowsers() const { return m_detected; }
    bool isChecked(BrowserKind kind) const;
    /// Checking a choice unchecks the other two; checking the known browser while none was detected
    /// checks the default browser instead. Unchecking changes nothing else.
    void setChecked(BrowserKind kind, bool checked);
    /// Returns the selected list index, -1 when nothing is selected.
    int selectedIndex() const { return m_selected; }
    /// Selects a list item by program (-1 or any index outside the list: nothing); the checked choice stays.
    void selectListItem(int index);
    /// Selects the list item the user chose, which checks the known browser.
    void chooseListItem(int index);
    const std::string& programPath() const { return m_programPath; }
    void setProgramPath(std::string path) { m_programPath = std::move(path); }

    /// Applies the stored choice in its fixed order, stopping quietly at the first value that cannot be
    /// read; what was applied before stays. Without the key the current state stands.
    void load(const SettingsStore& store);
    /// Stores all five values, creating the key; failures are ignored.
    void save(SettingsStore& store) const;

    /// Shows folder + fileName with the checked choice and does not wait. A known browser without a
    /// selection falls back to the default browser; nothing is launched when no choice is checked, which
    /// counts as started. Returns how the launch went.
    PageOpening OpenPage(Shell& shell, const std::string& folder, const std::string& fileName) const;

private:
    bool loadChecked(const SettingsStore& store, const char* name, BrowserKind kind);
    bool knownBrowserSelected() const;

    TWebBrowserNamePathArray m_detected;
    std::array<bool, 3> m_checked{true, false, false}; // by BrowserKind
    int m_selected = -1;
    std::string m_programPath;
};

} // namespace veskaro
