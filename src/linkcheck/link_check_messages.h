#pragma once

#include <string>
#include <string_view>

// The link check's own texts, shared by its window and tomorine-cli.
namespace tomorine::LinkCheckMessages {

inline constexpr std::string_view Finished = "リンクチェック完了";
inline constexpr std::string_view Stopped = "中止";
inline constexpr std::string_view Deleted = "削除完了";
inline constexpr std::string_view NoFileGiven = "ファイルが指定されていません";

// "[3件]": the number of dead-link lines.
inline std::string LineCountCaption(std::size_t lines) {
    return "[" + std::to_string(lines) + "件]";
}

} // namespace tomorine::LinkCheckMessages
