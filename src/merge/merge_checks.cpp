#include "merge/merge_checks.h"

#include "merge/merge_messages.h"
#include "store/settings/path_routines.h"

#include <sys/stat.h>

namespace tomorine {

namespace {

// A symbolic link to the data file, or another hard link of it, is the data
// file under another name.
bool IsSameFile(std::string_view first, std::string_view second) {
    struct stat a {};
    struct stat b {};
    return ::stat(std::string(first).c_str(), &a) == 0 &&
           ::stat(std::string(second).c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

} // namespace

std::optional<std::u16string_view> SameFileRefusal(std::string_view dataFileText,
                                                   std::string_view referenceText) {
    const FilePathParts data = SplitFilePath(dataFileText);
    const FilePathParts reference = SplitFilePath(referenceText);
    if (reference.fileName != data.fileName) {
        return IsSameFile(dataFileText, referenceText) ? std::optional(MergeMessages::SamePath)
                                                       : std::nullopt;
    }
    return reference.folder == data.folder ? MergeMessages::SamePath : MergeMessages::SameFileName;
}

} // namespace tomorine
