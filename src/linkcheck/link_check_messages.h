#pragma once

#include <string>
#include <string_view>

// The link check's own texts, shared by its window and tomorine-cli.
namespace tomorine::LinkCheckMessages {

inline constexpr std::string_view Finished = "リンクチェック完了";
inline constexpr std::string_view Stopped = "中止";
inline constexpr std::string_view Deleted = "削除完了";
inline constexpr std::string_view NoFileGiven = "ファイルが指定されていません";
inline constexpr std::string_view NetworkDown = "ネットワークに接続できません。"
                                                "どのURLからも応答がなく、"
                                                "リンク切れかどうかを確かめられません";
inline constexpr std::string_view NothingDeletedOffline =
    "ネットワークに接続できないため、何も削除しません";
inline constexpr std::string_view OkStops = "チェック中です。中止するにはOKを押してください";
inline constexpr std::string_view LeftChanged = "変更されていたため削除しませんでした";

// "[3件]": the number of dead-link lines.
inline std::string LineCountCaption(std::size_t lines) {
    return "[" + std::to_string(lines) + "件]";
}

// "3件のデータを削除しますか"
inline std::string DeleteQuestion(std::size_t entries) {
    return std::to_string(entries) + "件のデータを削除しますか";
}

} // namespace tomorine::LinkCheckMessages
