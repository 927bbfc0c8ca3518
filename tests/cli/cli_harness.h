#pragma once

#include "store/entry.h"

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tomorine::test {

struct CliRun {
    int status = -1; // exit status; 128 + signal when killed
    std::string out, err;
};

// Runs the built tomorine-cli with TOMORINE_HOME = home and `input` on its
// standard input, in folder `cwd` (a fresh empty folder when not given).
CliRun RunCli(const std::filesystem::path& home, const std::vector<std::string>& args,
              const std::string& input = "", const std::filesystem::path& cwd = {});

int LineCount(const std::string& text);

// What --json prints for these entries.
nlohmann::json Hits(const std::vector<Entry>& entries);

// A data workbook holding the entries after the header and dummy rows; the
// entries whose serials are listed in `deleted` are flagged as deleted.
void WriteDataWorkbook(const std::filesystem::path& path, const std::vector<Entry>& entries,
                       const std::vector<int>& deleted = {});

} // namespace tomorine::test
