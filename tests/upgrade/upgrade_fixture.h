#pragma once

#include "store/workbook/workbook.h"
#include "support/temp_dir.h"
#include "upgrade/upgrade_context.h"

#include <filesystem>
#include <vector>

namespace tomorine::test {

// A row of the older entry sheet: the serial, the 14 texts of columns 2 … 15
// (empty ones stay empty cells), then the deleted flag.
Sheet::Row OldRow(Cell serial, const std::vector<std::u16string>& texts, Cell deleted);

// `count` rows of plain Japanese texts, serials 1 … count.
std::vector<Sheet::Row> OldRows(int count);

// The older layout: its 16-name header (no URL5), the dummy row, then `rows`.
Workbook OldDataWorkbook(const std::vector<Sheet::Row>& rows);

// Folder: a copy over it fails. WithTmp: still holds the work sheet "tmp".
// HeaderOnly: the older layout's header alone. Files are made PrivateMode.
enum FileContent { Missing, New, Old, Garbage, Folder, WithTmp, HeaderOnly };
void MakeFile(const std::filesystem::path& path, FileContent content);
inline constexpr auto PrivateMode = std::filesystem::perms{0600};

std::vector<std::uint8_t> BytesOrNothing(const std::filesystem::path& path);

// Records what the engine shows and gives every prompt `answer`; the n-th
// open or save (from 1; 0 never) throws an I/O error; the `cancelAfter`-th
// progress report requests a cancel, as the progress window's close does.
struct Harness {
    explicit Harness(std::filesystem::path dataFile);
    Harness(const Harness&) = delete; // the context refers to the members

    StoreState store;
    UpgradeState state;
    std::vector<std::u16string> texts;
    std::vector<int> styles, progress;
    int answer = AnswerOk;
    size_t cancelAfter = 0;
    int progressClosed = 0, failOpen = 0, failSave = 0, opens = 0, saves = 0;
    UpgradeContext context;
};

} // namespace tomorine::test
