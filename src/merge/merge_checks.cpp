#include "merge/merge_checks.h"

#include "merge/merge_messages.h"
#include "store/settings/path_routines.h"

namespace tomorine {

std::optional<std::u16string_view> SameFileRefusal(std::string_view dataFileText,
                                                   std::string_view referenceText) {
    const FilePathParts data = SplitFilePath(dataFileText);
    const FilePathParts reference = SplitFilePath(referenceText);
    if (reference.fileName != data.fileName) {
        return std::nullopt;
    }
    return reference.folder == data.folder ? MergeMessages::SamePath : MergeMessages::SameFileName;
}

} // namespace tomorine
