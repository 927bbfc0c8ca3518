#include "browser/shortcut_target.h"

#include "browser/shortcut_file.h"
#include "browser/shortcut_text.h"
#include "store/workbook/workbook_error.h"

namespace tomorine {

std::u16string ReadShortcutTarget(const std::filesystem::path& path) {
    ShortcutKind kind = ShortcutKindOf(path);
    if (kind == ShortcutKind::None) {
        throw WorkbookError(WorkbookFault::NotShortcut,
                            QuotedPath(path) + " はショートカットファイルではありません");
    }
    std::string text = ReadShortcutText(path);
    std::u16string target =
        kind == ShortcutKind::Internet ? InternetShortcutUrl(text) : DesktopLinkUrl(text);
    if (target.empty()) {
        throw WorkbookError(WorkbookFault::NoShortcutTarget,
                            QuotedPath(path) + " に URL がありません");
    }
    return target;
}

std::u16string GetShortcutTarget(const std::filesystem::path& path, ShortcutCounters& counters) {
    try {
        return ReadShortcutTarget(path);
    } catch (const WorkbookError& e) {
        if (e.fault() == WorkbookFault::PathRefused) {
            ++counters.shortcutBadCallCount;
        } else if (e.fault() == WorkbookFault::NoShortcutTarget) {
            if (counters.shortcutNoTargetCount++ == 0) {
                counters.firstNoTarget = path;
            }
        }
        ++counters.shortcutErrorCount;
    } catch (const std::exception&) {
        ++counters.shortcutErrorCount;
    }
    return {};
}

} // namespace tomorine
