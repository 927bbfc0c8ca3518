#pragma once

#include <string>

namespace tomorine {

// The program folder, absolute and ending in "/": $TOMORINE_HOME when set,
// else $XDG_DATA_HOME/tomorine/ (an absolute $XDG_DATA_HOME only, as the XDG
// rules say), else ~/.local/share/tomorine/. Created on the first call,
// which fixes the text for the life of the process: a relative
// $TOMORINE_HOME or a later change of the current folder does not move it.
std::string GetAppDir();

// Forgets the program folder so that the next call looks at the environment
// again. For tests.
void ResetAppDirCache();

} // namespace tomorine
