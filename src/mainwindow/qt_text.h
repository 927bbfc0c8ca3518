#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

namespace tomorine {

// Engines speak UTF-16 texts and UTF-8 paths; the controls speak QString.
inline QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
inline QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline QString PathToQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}
inline std::u16string ToU16(const QString& text) {
    return text.toStdU16String();
}
inline std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(text.toStdString());
}

} // namespace tomorine
