#pragma once

#include "store/workbook/workbook.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <vector>

// xlrd and xlwt (xls_peer.py) as peers; a peer that fails to run fails the test.
namespace tomorine::test {

enum class XlrdMode { Strict, Lenient }; // Lenient: past faults that leave the data intact

// As the corpus's .json files: {"log", "codepage", "biff_version", "rows", "sheets": [{"name",
// "nrows", "ncols", "cells": [[row, column, type, value]]}]}, 0-based, empty cells left out, or
// {"error"}; only the `rows` listed, when any are.
nlohmann::json XlrdValues(const std::filesystem::path& file, XlrdMode mode = XlrdMode::Strict,
                          const std::vector<int>& rows = {});

// A workbook's "sheets" in that shape.
nlohmann::json ValuesOf(const Workbook& book, const std::vector<int>& rows = {});

// Same sheets, same cells: numbers bit for bit, xlrd's "date" as a number, a non-finite number
// as the #NUM! a written file holds; only the rows xlrd listed.
::testing::AssertionResult SameAsXlrd(const Workbook& book, const nlohmann::json& xlrd);

// {"header": fields, "faults": complaints, sectors unused or misflagged} as xlrd's compdoc sees
// a compound file; its Workbook stream goes to `stream`.
nlohmann::json InspectCompoundFile(const std::filesystem::path& file,
                                   const std::filesystem::path& stream);

// Writes `book` with xlwt, which writes an empty text as a blank cell.
void WriteWithXlwt(const Workbook& book, const std::filesystem::path& file);

} // namespace tomorine::test
