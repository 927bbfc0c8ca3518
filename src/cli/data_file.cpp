#include "cli/data_file.h"

#include "store/files/hard_links.h"
#include "store/files/whole_file.h"
#include "store/messages.h"
#include "store/settings/app_dir.h"
#include "store/settings/path_routines.h"
#include "store/settings/settings_file.h"
#include "store/workbook/workbook_error.h"

#include <iostream>

namespace tomorine::cli {

namespace {

std::filesystem::path Resolve(const ParsedArgs& args) {
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

} // namespace

std::filesystem::path ResolveDataFile(const ParsedArgs& args) {
    std::filesystem::path dataFile = Resolve(args);
    if (std::optional<std::string> notice = HardLinkNotice(dataFile)) {
        std::cerr << "tomorine-cli: 警告: " << *notice << '\n' << std::flush;
    }
    return dataFile;
}

std::filesystem::path ExistingDataFile(const ParsedArgs& args) {
    std::filesystem::path dataFile = ResolveDataFile(args);
    if (!IsRegularFile(dataFile)) {
        throw std::runtime_error(std::string(Messages::NoDataFile) + ": " + QuotedPath(dataFile));
    }
    return dataFile;
}

} // namespace tomorine::cli
