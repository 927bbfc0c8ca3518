#pragma once

#include "browser/shortcut_target.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

namespace FavoritesMessages {
inline constexpr std::string_view FolderNotFound = "お気に入りパスが見つかりません";
inline constexpr std::string_view ChooseFolder = "お気に入りフォルダを選んでください";
inline constexpr std::string_view Reading = "読み込み中";
inline constexpr std::string_view Done = "完了";
inline constexpr std::string_view Stopped = "中止";
inline constexpr std::string_view NamesTooLong = "お気に入り名称が長すぎるものがあるようです";
inline constexpr std::string_view NoTargets = "URLが未指定のものがあるようです";
} // namespace FavoritesMessages

// A count right-aligned in five characters: "    0", "   42", "12345";
// more digits show as they are.
std::string CountCaption(std::int64_t count);

// The notices after an import, each empty when it does not apply: the
// number of shortcuts whose URL could not be read and of folders that could
// not be read, names too long, shortcuts without a URL, and the number of
// `skipped` shortcuts whose URL is no link.
struct ImportNotices {
    std::string unreadable;
    std::string namesTooLong;
    std::string noTargets;
    std::string skipped;
};
ImportNotices NoticesFor(const ShortcutCounters& counters, std::int32_t skipped,
                         std::int32_t unreadableFolders = 0);

} // namespace tomorine
