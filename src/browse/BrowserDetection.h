#pragma once

#include "browse/TWebBrowserNamePath.h"

namespace veskaro {

class SettingsStore;
struct BrowserSearchPlaces;

/// Returns the browsers of this machine in their fixed order: the four registry steps below, then the
/// browsers installed in the search places. A browser whose program file is missing is left out.
TWebBrowserNamePathArray detectBrowsers(const SettingsStore& store, const BrowserSearchPlaces& places);

/// Appends Internet Explorer when its application path in the machine settings names an existing file.
void AddInternetExplorer(const SettingsStore& store, TWebBrowserNamePathArray& browsers);
/// Appends Netscape Navigator 3 when its per-user install directory holds its program.
void AddNetscapeNavigator3(const SettingsStore& store, TWebBrowserNamePathArray& browsers);
/// Appends the current Netscape Communicator version when its install directory holds its program.
void AddNetscapeCommunicator(const SettingsStore& store, TWebBrowserNamePathArray& browsers);
/// Appends the current Netscape 6 version when its install directory holds its program.
void AddNetscape6(const SettingsStore& store, TWebBrowserNamePathArray& browsers);

} // namespace veskaro
