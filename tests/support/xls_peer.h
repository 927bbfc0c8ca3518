#pragma once

#include "store/workbook/workbook.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <vector>

namespace tomorine::test {

// The peer programs of the .xls tests (xls_peer.py: xlrd and xlwt under
// /usr/bin/python3). A peer that fails to run fails the current test.

// Lenient reads past faults that leave the data intact (see the script).
enum class XlrdMode { Strict, Lenient };

// What xlrd reads: {"log", "codepage", "biff_version", "rows", "sheets":
// [{"name", "nrows", "ncols", "cells": [[row, column, type, value]]}]}, as
// in the corpus's .json files (0-based, row-major, empty cells left out);
// {"error"} when xlrd refuses the file. `rows` limits the rows listed.
nlohmann::json XlrdValues(const std::filesystem::path& file, XlrdMode mode = XlrdMode::Strict,
                          const std::vector<int>& rows = {});

// A workbook's sheets in the shape XlrdValues gives, for the rows listed
// (all when none are), so that two workbooks or a workbook and xlrd compare.
nlohmann::json ValuesOf(const Workbook& book, const std::vector<int>& rows = {});

// Same sheets in the same order, same cells at the same places with the same
// type and value: numbers bit for bit, xlrd's "date" as a number, a
// non-finite number as the #NUM! a written file holds. Only the rows that
// `xlrd` lists when it was read with a row list.
::testing::AssertionResult SameAsXlrd(const Workbook& book, const nlohmann::json& xlrd);

// Header fields and sector use of a compound file as xlrd's compdoc sees
// them; its Workbook stream is written to `stream`.
nlohmann::json InspectCompoundFile(const std::filesystem::path& file,
                                   const std::filesystem::path& stream);

// Writes `book` with xlwt (which writes an empty text as a blank cell).
void WriteWithXlwt(const Workbook& book, const std::filesystem::path& file);

} // namespace tomorine::test
