#include "store/settings/ini_functions.h"

#include "store/files/atomic_file.h"
#include "store/files/whole_file.h"
#include "store/settings/ini_document.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <optional>

namespace tomorine {

namespace {

std::optional<std::string> ValueOf(const LoadedIniFile& file, std::string_view section,
                                   std::string_view key) {
    return file.bytes ? IniDocument::lookup(*file.bytes, section, key) : std::nullopt;
}

std::string CutToBuffer(std::string_view text, int bufferSize) {
    text = text.substr(0, text.find('\0'));
    if (bufferSize <= 1) {
        return {};
    }
    std::u16string units = FromUtf8(text);
    if (units.size() < static_cast<size_t>(bufferSize)) {
        return std::string(text);
    }
    units.resize(static_cast<size_t>(bufferSize) - 1);
    if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
        units.pop_back(); // never keep half a character
    }
    return ToUtf8(units);
}

} // namespace

LoadedIniFile LoadIniFile(const std::filesystem::path& file) {
    LoadedIniFile loaded;
    std::string bytes;
    std::string error;
    switch (ReadWholeFile(file, bytes, kMaxSettingsFileBytes, &error)) {
    case ReadStatus::Read:
        loaded.bytes = std::move(bytes);
        break;
    case ReadStatus::Failed:
        loaded.notice = error + "。設定は既定の値を使い、このファイルは書き換えません";
        break;
    case ReadStatus::Missing:
        break;
    }
    return loaded;
}

std::string IniString(const LoadedIniFile& file, std::string_view section, std::string_view key,
                      std::string_view defaultValue, int bufferSize) {
    std::optional<std::string> value = ValueOf(file, section, key);
    return CutToBuffer(value ? *value : defaultValue, bufferSize);
}

std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue, int bufferSize) {
    return IniString(LoadIniFile(file), section, key, defaultValue, bufferSize);
}

std::int32_t ReadIniInt(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::int32_t defaultValue) {
    return IniInt(LoadIniFile(file), section, key, defaultValue);
}

std::int32_t IniInt(const LoadedIniFile& file, std::string_view section, std::string_view key,
                    std::int32_t defaultValue) {
    std::optional<std::string> value = ValueOf(file, section, key);
    if (!value || value->empty()) {
        return defaultValue;
    }
    std::string_view text = *value;
    bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    std::uint32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        number = number * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return static_cast<std::int32_t>(negative ? 0u - number : number);
}

bool WriteIniStrings(const std::filesystem::path& file, std::string_view section,
                     std::span<const IniSetting> settings) {
    std::string bytes;
    ReadStatus status = ReadWholeFile(file, bytes, kMaxSettingsFileBytes);
    if (status == ReadStatus::Failed) {
        return false;
    }
    IniDocument doc = IniDocument::parse(bytes);
    bool allSet = true;
    for (const IniSetting& setting : settings) {
        allSet = doc.setValue(section, setting.key, setting.value) && allSet;
    }
    std::string updated = doc.bytes();
    if (status == ReadStatus::Read && updated == bytes) {
        return allSet;
    }
    if (status == ReadStatus::Missing && updated.empty()) {
        return allSet; // nothing was set: no file is made
    }
    try {
        WriteFileAtomically(
            file, std::span(reinterpret_cast<const std::uint8_t*>(updated.data()), updated.size()));
        return allSet;
    } catch (const WorkbookError&) {
        return false;
    }
}

bool WriteIniString(const std::filesystem::path& file, std::string_view section,
                    std::string_view key, std::string_view value) {
    const IniSetting setting{key, value};
    return WriteIniStrings(file, section, std::span(&setting, 1));
}

} // namespace tomorine
