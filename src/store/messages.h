#pragma once

#include <string_view>

// The system's own messages, shared by the main window and tomorine-cli so
// that both say the same thing in the same words.
namespace tomorine::Messages {

inline constexpr std::string_view UrlAndTitleRequired = "[ URL ] と [ タイトル ] は必須です";
inline constexpr std::string_view Registered = "登録しました";
inline constexpr std::string_view Updated = "更新しました";
inline constexpr std::string_view Deleted = "削除しました";
inline constexpr std::string_view DataError = "データに誤りがあります";
inline constexpr std::string_view KeyError = "キー指定に誤りがあります";
inline constexpr std::string_view NoDataFile = "データファイルがありません";
inline constexpr std::string_view NotFound = "見つかりません";
inline constexpr std::string_view NoUrl = "URLが指定されていません";
inline constexpr std::string_view NothingToDelete = "削除するデータがデータファイルにありません";
inline constexpr std::string_view NoData = "データがありません";

} // namespace tomorine::Messages
