#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tomorine {

// Why a reference may not be merged into the data file because it is the
// data file or has its file name: both path texts are split as
// SplitFilePath splits them (the data file's as its field shows it) and the
// parts compared exactly. SamePath when folder and name are equal, SameFileName
// when only the names are, or when the paths differ but name one file (a
// symbolic or hard link to the data file); nothing otherwise. Two files directly in the root
// folder split into empty parts and count as the same path.
std::optional<std::u16string_view> SameFileRefusal(std::string_view dataFileText,
                                                   std::string_view referenceText);

} // namespace tomorine
