#pragma once

#include <string_view>

// What the merge dialog and tomorine-cli merge say, in the same words.
namespace tomorine::MergeMessages {

inline constexpr std::u16string_view NoPath = u"ファイルパスを指定してください";
inline constexpr std::u16string_view SamePath =
    u"パスが同じです\r\n異なるファイルを指定してください\r\n\r\n処理を中止します";
inline constexpr std::u16string_view SameFileName =
    u"パスは違いますが、ファイル名が同じです\r\n異なるファイル名にしてください\r\n\r\n処理を中止し"
    u"ます";
inline constexpr std::u16string_view OldVersion = u"マージ用の読み込みファイルが旧バージョンです";
inline constexpr std::u16string_view Merging = u"マージしています";
inline constexpr std::u16string_view Done = u"マージ完了";
inline constexpr std::u16string_view Failed = u"データマージは失敗しました";

} // namespace tomorine::MergeMessages
