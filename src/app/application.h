#pragma once

#include <iosfwd>
#include <optional>

class QApplication;

namespace tomorine {

// The name the desktop knows the program by: the X11 window class
// (the desktop entry's StartupWMClass), the Wayland app id and the desktop
// entry's file name without ".desktop".
inline constexpr const char* kDesktopName = "tomorine";

// Names the program (class, display name トモリネ, version) and installs
// Qt's Japanese texts. Call right after constructing the application.
void ConfigureApplication(QApplication& app);

// Answers --version and --help, which need no window system; nothing for
// every other command line, which goes on to the window.
std::optional<int> AnswerCommandLine(int argc, char** argv, std::ostream& out);

} // namespace tomorine
