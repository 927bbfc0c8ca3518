#include "store/settings/path_routines.h"

#include "store/files/absolute_path.h"

#include <filesystem>

namespace tomorine {

std::string GetFolderPart(std::string_view path) {
    size_t last = path.rfind('/');
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

FilePathParts SplitFilePath(std::string_view path) {
    size_t first = path.find('/');
    size_t last = path.rfind('/');
    if (last == std::string_view::npos) {
        return {};
    }
    std::string_view head = path.substr(0, last);
    if (head != "." && head != ".." && first == last) {
        return {};
    }
    return {std::string(path.substr(0, last + 1)), std::string(path.substr(last + 1))};
}

std::string GetAbsolutePath(std::string_view path) {
    return path.empty() ? std::string() : AbsolutePath(std::filesystem::path(path)).string();
}

} // namespace tomorine
