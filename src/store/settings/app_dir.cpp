#include "store/settings/app_dir.h"

#include "store/settings/path_routines.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

namespace tomorine {

namespace {

std::mutex cacheMutex;
std::string AppDirCache;

const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

std::filesystem::path HomeFolder() {
    if (const char* home = Environment("HOME")) {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
        return entry->pw_dir;
    }
    return ".";
}

std::filesystem::path ChooseAppDir() {
    if (const char* home = Environment("TOMORINE_HOME")) {
        return home;
    }
    if (const char* data = Environment("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
        return std::filesystem::path(data) / "tomorine";
    }
    return HomeFolder() / ".local" / "share" / "tomorine";
}

} // namespace

std::string GetAppDir() {
    std::lock_guard lock(cacheMutex);
    if (AppDirCache.empty()) {
        std::string dir = GetAbsolutePath(ChooseAppDir().string());
        if (dir.empty() || dir.back() != '/') {
            dir += '/';
        }
        std::error_code ec;
        std::filesystem::create_directories(dir, ec); // a failure shows up as unreadable settings
        AppDirCache = dir;
    }
    return AppDirCache;
}

void ResetAppDirCache() {
    std::lock_guard lock(cacheMutex);
    AppDirCache.clear();
}

} // namespace tomorine
