#include "store/settings/settings_file.h"

#include "store/files/hard_links.h"
#include "store/settings/ini_functions.h"
#include "store/settings/path_routines.h"
#include "store/workbook/workbook_error.h"

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
    settings.commentOutput = IniInt(data, kSettingsSection, kCommentOutputKey, 0) == 1;
    settings.referFile = IniString(data, kSettingsSection, kReferFileKey, "", kIniBufferSize);
    if (!app.notice.empty()) {
        settings.notices.push_back(app.notice);
    }
    if (other && !other->notice.empty()) {
        settings.notices.push_back(other->notice);
    }
    if (std::optional<std::string> notice = HardLinkNotice(settings.dataFile)) {
        settings.notices.push_back(std::move(*notice));
    }
    return settings;
}

void SaveSettings(const SettingsValues& values, const std::filesystem::path& appIniPath,
                  const std::filesystem::path& dataIniPath) {
    const std::string commentOutput = values.commentOutput ? "1" : "0";
    // Each file once, its keys in the order existing files list them.
    const IniSetting settings[] = {{kDataFileKey, values.dataFile},
                                   {kCommentOutputKey, commentOutput},
                                   {kOutputFileKey, values.outputFile},
                                   {kReferFileKey, values.referFile}};
    std::string failed;
    auto write = [&](const std::filesystem::path& file) {
        if (!WriteIniStrings(file, kSettingsSection, settings)) {
            failed += (failed.empty() ? "" : "、") + QuotedPath(file);
        }
    };
    write(appIniPath);
    if (GetAbsolutePath(dataIniPath.string()) != GetAbsolutePath(appIniPath.string())) {
        write(dataIniPath);
    }
    if (!failed.empty()) {
        throw WorkbookError(WorkbookFault::FileAccess, failed + " に設定を保存できません");
    }
}

} // namespace tomorine
