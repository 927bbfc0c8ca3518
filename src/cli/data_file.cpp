#include "cli/data_file.h"

#include "store/settings/app_dir.h"
#include "store/settings/path_routines.h"
#include "store/settings/settings_file.h"

namespace tomorine::cli {

std::filesystem::path ResolveDataFile(const ParsedArgs& args) {
    std::string path = args.dataFile ? *args.dataFile : ReadDataFileSetting(GetAppDir());
    return GetAbsolutePath(path);
}

} // namespace tomorine::cli
