#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace tomorine::test {

// A fresh temporary folder, removed with its contents when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text); // folders made too
std::string ReadText(const std::filesystem::path& path); // empty when there is no file
std::set<std::string> FileNames(const std::filesystem::path& folder);
std::filesystem::path CorpusDir(); // the shared .xls corpus; empty when it is not there

} // namespace tomorine::test
