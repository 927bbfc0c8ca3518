#include "store/settings/settings_file.h"

#include "store/settings/ini_functions.h"
#include "store/settings/path_routines.h"

namespace tomorine {

std::string GetIniPath(std::string_view dataFilePath) {
    return GetFolderPart(dataFilePath) + std::string(kSettingsFileName);
}

std::string ReadDataFileSetting(const std::string& appDir) {
    return ReadIniString(appDir + std::string(kSettingsFileName), kSettingsSection, kDataFileKey,
                         appDir + std::string(kDefaultDataFileName), kIniBufferSize);
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
