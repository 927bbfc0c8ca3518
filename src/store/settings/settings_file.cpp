#include "store/settings/settings_file.h"

#include "store/settings/ini_functions.h"
#include "store/settings/path_routines.h"

namespace tomorine {

std::string GetIniPath(std::string_view dataFilePath) {
    return GetFolderPart(dataFilePath) + std::string(kSettingsFileName);
}

namespace {

std::string DataFileOf(const LoadedIniFile& file, const std::string& appDir) {
    return IniString(file, kSettingsSection, kDataFileKey,
                     appDir + std::string(kDefaultDataFileName), kIniBufferSize);
}

} // namespace

std::string ReadDataFileSetting(const std::string& appDir, std::string* notice) {
    const LoadedIniFile file = LoadIniFile(appDir + std::string(kSettingsFileName));
    if (notice != nullptr) {
        *notice = file.notice;
    }
    return DataFileOf(file, appDir);
}

StartupSettings ReadStartupSettings(const std::string& appDir) {
    StartupSettings settings;
    const std::string appIni = appDir + std::string(kSettingsFileName);
    const LoadedIniFile app = LoadIniFile(appIni);
    settings.dataFile = DataFileOf(app, appDir);
    const std::string dataIni = GetIniPath(settings.dataFile);
    std::optional<LoadedIniFile> other;
    if (GetAbsolutePath(dataIni) != GetAbsolutePath(appIni)) {
        other = LoadIniFile(dataIni);
    }
    const LoadedIniFile& data = other ? *other : app;
    settings.outputFile = IniString(data, kSettingsSection, kOutputFileKey, "", kIniBufferSize);
    settings.commentOutput = IniInt(data, kSettingsSection, kCommentOutputKey, 0);
    settings.referFile = IniString(data, kSettingsSection, kReferFileKey, "", kIniBufferSize);
    if (!app.notice.empty()) {
        settings.notices.push_back(app.notice);
    }
    if (other && !other->notice.empty()) {
        settings.notices.push_back(other->notice);
    }
    return settings;
}

bool SaveSettings(const SettingsValues& values, const std::filesystem::path& appIniPath,
                  const std::filesystem::path& dataIniPath) {
    const std::string commentOutput = std::to_string(values.commentOutput);
    bool ok = true;
    auto write = [&](const std::filesystem::path& file, std::string_view key,
                     std::string_view value) {
        ok = WriteIniString(file, kSettingsSection, key, value) && ok;
    };
    write(appIniPath, kDataFileKey, values.dataFile);
    write(dataIniPath, kDataFileKey, values.dataFile);
    write(appIniPath, kCommentOutputKey, commentOutput);
    write(appIniPath, kOutputFileKey, values.outputFile);
    write(dataIniPath, kCommentOutputKey, commentOutput);
    write(dataIniPath, kOutputFileKey, values.outputFile);
    write(appIniPath, kReferFileKey, values.referFile);
    write(dataIniPath, kReferFileKey, values.referFile);
    return ok;
}

} // namespace tomorine
