#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tomorine::test {

// Runs xls_peer.py (xlrd and xlwt under /usr/bin/python3) and returns its
// JSON answer. Fails the current test when the script fails.
nlohmann::json RunXlsPeer(const std::vector<std::string>& arguments);

// Cell values as xlrd reads them: {"log", "codepage", "sheets": [{"name",
// "nrows", "ncols", "cells": [[row, column, xlrd type, value]]}]}, numbers as
// hexadecimal floating-point texts. `rows` (0-based) limits the rows read.
nlohmann::json ReadWithXlrd(const std::filesystem::path& file, const std::vector<int>& rows = {});

// Header fields, directory entries and sector use of a compound file as
// xlrd's compdoc sees them; its Workbook stream is written to `stream`.
nlohmann::json InspectCompoundFile(const std::filesystem::path& file,
                                   const std::filesystem::path& stream);

// Writes a workbook with xlwt from {"sheets": [{"name", "cells": [[row,
// column, "text" | "number" | "bool" | "error", value]]}]}.
void WriteWithXlwt(const nlohmann::json& spec, const std::filesystem::path& file);

} // namespace tomorine::test
