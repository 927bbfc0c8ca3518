#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tomorine::test {

namespace fs = std::filesystem;

TempDir::TempDir() : path_(fs::temp_directory_path() / "tomorine-test-XXXXXX") {
    std::string pattern = path_.string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec; // a test may have made folders read-only: permissions back first
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(path_, ec); it != fs::end(it);
         it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    if (!out.write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes))) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    WriteBytes(path, {text.begin(), text.end()});
}

std::string ReadText(const fs::path& path) {
    const auto bytes = fs::exists(path) ? ReadBytes(path) : std::vector<std::uint8_t>{};
    return {bytes.begin(), bytes.end()};
}

std::set<std::string> FileNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

fs::path CorpusDir() {
    std::error_code ec;
    return fs::is_directory(TOMORINE_CORPUS_DIR, ec) ? fs::path(TOMORINE_CORPUS_DIR) : fs::path();
}

} // namespace tomorine::test
