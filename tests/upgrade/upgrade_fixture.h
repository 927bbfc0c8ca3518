#pragma once

#include "store/workbook/workbook.h"
#include "upgrade/upgrade_context.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tomorine::test {

// A row of the older entry sheet: the serial, the 14 texts of columns 2 … 15
// (URL1-4, title, subtitle, comment 1-4, keywords 1-4; empty ones stay empty
// cells), then the deleted flag.
Sheet::Row OldRow(Cell serial, const std::vector<std::u16string>& texts, Cell deleted);

// `count` rows of plain Japanese texts, serials 1 … count.
std::vector<Sheet::Row> OldRows(int count);

// A workbook in the older layout: its 16-name header (no URL5), the dummy
// row, then `rows` from row 3.
Workbook OldDataWorkbook(const std::vector<Sheet::Row>& rows);

// What a test puts at a path: nothing, a new data workbook, one of the older
// layout, a text file, a folder (a copy over it fails), a new data workbook
// still holding the work sheet "tmp", or one without data rows.
enum FileContent { Missing, New, Old, Garbage, Folder, WithTmp, HeaderOnly };
void MakeFile(const std::filesystem::path& path, FileContent content);

// The file's bytes, or an empty vector when it is missing.
std::vector<std::uint8_t> BytesOrNothing(const std::filesystem::path& path);

// The names of the files in a folder, sorted.
std::vector<std::string> FileNames(const std::filesystem::path& folder);

// The program state of one test. Stands in for the message boxes and the
// progress window (records what the engine shows and gives every prompt the
// same answer) and for the files (the n-th open or save, counting from 1,
// throws an I/O error; 0 never).
struct Harness {
    explicit Harness(std::filesystem::path dataFile);
    Harness(const Harness&) = delete; // the context refers to the members
    Harness& operator=(const Harness&) = delete;

    StoreState store;
    UpgradeState state;
    std::vector<std::u16string> texts;
    std::vector<int> styles;
    int answer = AnswerOk;
    std::vector<int> progress;
    std::function<void(int percent)> onProgress; // runs after a value is recorded
    int progressClosed = 0;
    int failOpen = 0, failSave = 0, opens = 0, saves = 0;
    UpgradeContext context;
};

} // namespace tomorine::test
