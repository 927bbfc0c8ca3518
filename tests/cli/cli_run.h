#pragma once

#include "store/entry.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tomorine::test {

struct CliRun {
    int status = -1; // exit status; 128 + signal when killed
    std::string out;
    std::string err;
};

// Runs the built tomorine-cli with TOMORINE_HOME = home and `input` on its
// standard input, in folder `cwd` (a fresh empty folder when not given).
CliRun RunCli(const std::filesystem::path& home, const std::vector<std::string>& args,
              const std::string& input = "", const std::filesystem::path& cwd = {});

int LineCount(const std::string& text);

// The entries of a --json output: {"hits": [{"serial": ..., "url": ...}]}.
std::vector<Entry> ParseHits(const std::string& json);

// Texts for the command line.
std::string Utf8(std::u16string_view text);

} // namespace tomorine::test

namespace tomorine {

// For comparing and printing entries in expectations.
bool operator==(const Entry& a, const Entry& b);
void PrintTo(const Entry& entry, std::ostream* os);

} // namespace tomorine
