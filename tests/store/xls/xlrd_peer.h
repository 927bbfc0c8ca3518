#pragma once

#include "store/workbook/workbook.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tomorine::test {

// True when /usr/bin/python3 can import xlrd.
bool XlrdAvailable();

// What xlrd reads from a file, from xlrd_values.py: {"sheets": [{"name",
// "cells": [[row, col, type, value], ...]}]} or {"error": ...}. `lenient`
// lets xlrd past faults that leave the data intact (see the script).
nlohmann::json XlrdValues(const std::filesystem::path& file, bool lenient = false);

// Same sheet names and order, same cells (0-based positions, type and value;
// numbers compared exactly, "date" as a number) as in `expected`.
::testing::AssertionResult SameAsXlrd(const Workbook& book, const nlohmann::json& expected);

} // namespace tomorine::test
