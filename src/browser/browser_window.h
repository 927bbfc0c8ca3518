#pragma once

#include "browser/foreign_window.h"

#include <string>

namespace tomorine {

enum class BrowserKind { None, Firefox, Chromium };

// The browser a window belongs to, by its WM_CLASS: firefox, firefox-esr
// (and their Navigator instances); chromium, google-chrome, brave, vivaldi,
// microsoft-edge. Case does not matter.
BrowserKind BrowserOf(const ForeignWindow& window);

// The page title a browser window shows: its title without the browser's
// name at the end (" — Mozilla Firefox", " - Chromium", ...). "" when the
// title is only the browser's name.
std::string PageTitleOf(const std::string& windowTitle, BrowserKind kind);

// The folder under ~/.config of the Chromium-family browser of the window,
// "" when unknown.
std::string ChromiumConfigName(const ForeignWindow& window);

} // namespace tomorine
