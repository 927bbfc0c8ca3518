#pragma once

#include "store/workbook/workbook.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <vector>

// xlrd (xls_peer.py) as a peer; a peer that fails to run fails the test.
namespace tomorine::test {

enum class XlrdMode { Strict, Lenient }; // Lenient: past faults that leave the data intact

// As the corpus's .json files: {"log", "codepage", "biff_version", "rows", "sheets": [{"name",
// "nrows", "ncols", "cells": [[row, column, type, value]]}]} (0-based, only the `rows` given
// if any) or {"error"}. ValuesOf gives a workbook's "sheets" so.
nlohmann::json XlrdValues(const std::filesystem::path& file, XlrdMode mode = XlrdMode::Strict,
                          const std::vector<int>& rows = {});
nlohmann::json ValuesOf(const Workbook& book, const std::vector<int>& rows = {});

// Same sheets and cells: numbers bit for bit, xlrd's "date" a number, a non-finite number the
// #NUM! a written file holds; only the rows xlrd listed.
::testing::AssertionResult SameAsXlrd(const Workbook& book, const nlohmann::json& xlrd);

// Faults xlrd's compdoc finds: complaints, sectors unused or misflagged; the stream to `stream`.
nlohmann::json InspectCompoundFile(const std::filesystem::path& file,
                                   const std::filesystem::path& stream);

} // namespace tomorine::test
