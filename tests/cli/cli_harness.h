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
// standard input, in the folder that holds `home`.
CliRun RunCli(const std::filesystem::path& home, const std::vector<std::string>& args,
              const std::string& input = "");

// tomorine-cli COMMAND --data FILE ARGS (args[0] is the command), with a
// TOMORINE_HOME beside the file that the program does not need to create.
CliRun RunOn(const std::filesystem::path& data, std::vector<std::string> args,
             const std::string& input = "");

int LineCount(const std::string& text);

// What --json prints for these entries.
nlohmann::json Hits(const std::vector<Entry>& entries);

// A data workbook holding the entries as the register command stores them;
// the entries whose serials are listed in `deleted` are flagged as deleted.
void WriteDataWorkbook(const std::filesystem::path& path, const std::vector<Entry>& entries,
                       const std::vector<int>& deleted = {});

} // namespace tomorine::test
