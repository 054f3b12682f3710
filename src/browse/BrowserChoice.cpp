#include "browse/BrowserChoice.h"

#include "platform/SettingsStore.h"
#include "platform/Shell.h"

#include <cstdint>

namespace veskaro {

namespace {

constexpr SettingsRoot kUser = SettingsRoot::CurrentUser;

} // namespace

BrowserChoice::BrowserChoice(TWebBrowserNamePathArray detected) : m_detected(std::move(detected)) {}

bool BrowserChoice::isChecked(BrowserKind kind) const {
    return m_checked[static_cast<std::size_t>(kind)];
}

void BrowserChoice::setChecked(BrowserKind kind, bool checked) {
    if (!checked) {
        m_checked[static_cast<std::size_t>(kind)] = false;
        return;
    }
    // With no detected browser the known-browser choice cannot stay checked.
    if (kind == BrowserKind::Known && m_detected.empty())
        kind = BrowserKind::Default;
    m_checked = {false, false, false};
    m_checked[static_cast<std::size_t>(kind)] = true;
}

bool BrowserChoice::knownBrowserSelected() const {
    return m_selected >= 0 && static_cast<std::size_t>(m_selected) < m_detected.size();
}

void BrowserChoice::selectListItem(int index) {
    m_selected = index;
    if (!knownBrowserSelected())
        m_selected = -1;
}

void BrowserChoice::chooseListItem(int index) {
    selectListItem(index);
    if (m_selected >= 0)
        setChecked(BrowserKind::Known, true);
}

bool BrowserChoice::loadChecked(const SettingsStore& store, const char* name, BrowserKind kind) {
    const SettingsRead<std::uint32_t> read = store.readDword(kUser, kWebBrowsersKey, name);
    if (read.ok())
        setChecked(kind, read.value != 0);
    return read.ok();
}

void BrowserChoice::load(const SettingsStore& store) {
    if (!store.keyExists(kUser, kWebBrowsersKey))
        return;
    if (!loadChecked(store, "UseDefaultBrowser", BrowserKind::Default) ||
        !loadChecked(store, "UseKnownBrowser", BrowserKind::Known) ||
        !loadChecked(store, "UseSpecifiedBrowser", BrowserKind::Specified))
        return;

    const SettingsRead<std::uint32_t> number = store.readDword(kUser, kWebBrowsersKey, "SelectedBrowserNumber");
    if (!number.ok())
        return;
    // The stored number is signed: -1 (no selection) passes the bound, an index past the list falls
    // back to its first item.
    const auto stored = static_cast<std::int32_t>(number.value);
    const auto count = static_cast<std::int64_t>(m_detected.size());
    selectListItem(stored < count ? stored : 0);

    const SettingsRead<std::string> path = store.readString(kUser, kWebBrowsersKey, "SpecifiedBrowserExePath");
    if (path.ok())
        m_programPath = path.value;
}

void BrowserChoice::save(SettingsStore& store) const {
    const auto flag = [this](BrowserKind kind) { return isChecked(kind) ? 1u : 0u; };
    store.createKey(kUser, kWebBrowsersKey);
    store.writeDword(kUser, kWebBrowsersKey, "UseDefaultBrowser", flag(BrowserKind::Default));
    store.writeDword(kUser, kWebBrowsersKey, "UseKnownBrowser", flag(BrowserKind::Known));
    store.writeDword(kUser, kWebBrowsersKey, "UseSpecifiedBrowser", flag(BrowserKind::Specified));
    store.writeDword(kUser, kWebBrowsersKey, "SelectedBrowserNumber", static_cast<std::uint32_t>(m_selected));
    store.writeString(kUser, kWebBrowsersKey, "SpecifiedBrowserExePath", m_programPath);
}

PageOpening BrowserChoice::OpenPage(Shell& shell, const std::string& folder, const std::string& fileName) const {
    const std::string page = folder + fileName;
    PageOpening opening{true, {}};
    // Each choice is tested on its own, in this order; the rules keep at most one checked.
    if (isChecked(BrowserKind::Default))
        opening = {shell.openDocument(page), {}};
    if (isChecked(BrowserKind::Specified))
        opening = {shell.startProgram(m_programPath, page), m_programPath};
    if (isChecked(BrowserKind::Known)) {
        if (knownBrowserSelected()) {
            const std::string& program = m_detected[static_cast<std::size_t>(m_selected)].Path;
            opening = {shell.startProgram(program, page), program};
        } else {
            opening = {shell.openDocument(page), {}};
        }
    }
    return opening;
}

} // namespace veskaro
