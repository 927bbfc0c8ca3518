#include "cli/data_file.h"

#include "store/settings/app_dir.h"
#include "store/settings/path_routines.h"
#include "store/settings/settings_file.h"

#include <iostream>

namespace tomorine::cli {

std::filesystem::path ResolveDataFile(const ParsedArgs& args) {
    if (args.dataFile) {
        return GetAbsolutePath(*args.dataFile);
    }
    std::string notice;
    std::string path = ReadDataFileSetting(GetAppDir(), &notice);
    if (!notice.empty()) {
        std::cerr << "tomorine-cli: " << notice << '\n' << std::flush;
    }
    return GetAbsolutePath(path);
}

} // namespace tomorine::cli
