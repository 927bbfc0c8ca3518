#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

inline constexpr std::string_view kSettingsFileName = "トモリネ.ini";
inline constexpr std::string_view kSettingsSection = "トモリネ";
inline constexpr std::string_view kDataFileKey = "DATAFILE";
inline constexpr std::string_view kOutputFileKey = "OUTPUTFILE";
inline constexpr std::string_view kReferFileKey = "REFERFILE";
inline constexpr std::string_view kCommentOutputKey = "COMMOUT";
inline constexpr std::string_view kDefaultDataFileName = "トモリネ.xls";

// The four values written at shutdown.
struct SettingsValues {
    std::string dataFile;   // the data-file field
    std::string outputFile; // the HTML export dialog's path field
    std::string referFile;  // the merge dialog's path field
    bool commentOutput = false;
};

// The settings file beside the data file; a bare file name gives the bare
// settings file name, which the current folder resolves.
std::string GetIniPath(std::string_view dataFilePath);

// DATAFILE of the program folder's settings file, by default the program
// folder + "トモリネ.xls". appDir is the program folder as GetAppDir gives it.
// `notice`, when given, gets why a settings file that is there was not used.
std::string ReadDataFileSetting(const std::string& appDir, std::string* notice = nullptr);

// What start-up reads: DATAFILE from the program folder's settings file, the
// other three from the one beside the data file; each file read once.
struct StartupSettings {
    std::string dataFile;
    std::string outputFile;
    std::string referFile;
    bool commentOutput = false; // COMMOUT=1
    // One per settings file that is there but was refused, and one for a
    // data file with other hard links, for the user.
    std::vector<std::string> notices;
};
StartupSettings ReadStartupSettings(const std::string& appDir);

// Writes the four keys to the program folder's settings file and to the one
// beside the data file (both may be the same file), each file read and
// written once, its keys in a fixed order (DATAFILE, COMMOUT, OUTPUTFILE,
// REFERFILE), so that new files list them as existing files do. Every write is tried; then a
// WorkbookError names the files that could not be written.
void SaveSettings(const SettingsValues& values, const std::filesystem::path& appIniPath,
                  const std::filesystem::path& dataIniPath);

} // namespace tomorine
