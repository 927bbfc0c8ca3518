#include "favorites/import_summary.h"

namespace tomorine {

std::string CountCaption(std::int64_t count) {
    std::string digits = std::to_string(count);
    return digits.size() >= 5 ? digits : std::string(5 - digits.size(), ' ') + digits;
}

ImportNotices NoticesFor(const ShortcutCounters& counters, std::int32_t skipped,
                         std::int32_t unreadableFolders) {
    ImportNotices notices;
    if (skipped != 0) {
        notices.skipped =
            std::to_string(skipped) +
            "個の\"http、https、ftp、file 以外のURLのお気に入り\"は登録しませんでした";
    }
    if (counters.shortcutErrorCount != 0) {
        notices.unreadable = std::to_string(counters.shortcutErrorCount) +
                             "個の\"URLが取得できないお気に入り\"がありました";
    }
    if (unreadableFolders != 0) {
        notices.unreadable += (notices.unreadable.empty() ? "" : "、") +
                              std::to_string(unreadableFolders) +
                              "個の\"読めないフォルダ\"がありました";
    }
    if (counters.shortcutBadCallCount != 0) {
        notices.namesTooLong = std::string(FavoritesMessages::NamesTooLong);
    }
    if (counters.shortcutNoTargetCount != 0) {
        const auto name = counters.firstNoTarget.filename().u8string();
        notices.noTargets = std::string(FavoritesMessages::NoTargets) + "（" +
                            std::to_string(counters.shortcutNoTargetCount) + "件、最初は " +
                            std::string(name.begin(), name.end()) + "）";
    }
    return notices;
}

} // namespace tomorine
