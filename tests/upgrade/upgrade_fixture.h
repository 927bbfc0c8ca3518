#pragma once

#include "store/workbook/workbook.h"
#include "upgrade/upgrade_context.h"

#include <array>
#include <deque>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tomorine {
// Readable cells in test failures.
void PrintTo(const Cell& cell, std::ostream* os);
} // namespace tomorine

namespace tomorine::test {

// One row of an entry sheet in the older layout: 16 cells by position.
struct OldEntryRow {
    Cell serial;
    std::array<std::u16string, 4> url;
    std::u16string title;
    std::u16string subtitle;
    std::array<std::u16string, 4> comment;
    std::array<std::u16string, 4> keywords;
    Cell deleted;
};

// A workbook in the older layout: header (no URL5 among its 16 names), a
// dummy row, then `rows` from row 3. Empty texts stay empty cells.
Workbook OldDataWorkbook(const std::vector<OldEntryRow>& rows);
Sheet::Row OldRowCells(const OldEntryRow& row);
// `count` rows of plain Japanese texts, serials 1 … count.
std::vector<OldEntryRow> OldRows(int count);

std::u16string Repeat(std::u16string_view text, int times);

struct ShownMessage {
    std::u16string text;
    int style;
    bool operator==(const ShownMessage&) const = default;
};
void PrintTo(const ShownMessage& message, std::ostream* os);

// Stands in for the message boxes and the progress window: records what the
// engine shows and answers its prompts from a queue (OK when it runs dry).
class UiRecorder {
public:
    std::vector<ShownMessage> messages;
    std::deque<int> answers;
    std::vector<int> progress;
    int progressShown = 0;
    int progressClosed = 0;
    int eventsRun = 0;
    std::function<void(int percent)> onProgress; // runs after a value is recorded

    UpgradeUi ui();
    // The styles of the messages shown, in order.
    std::vector<int> styles() const;
};

// The files as the engine reads and writes them, except that the n-th open
// or save (counting from 1; 0 = never) throws an I/O error instead.
struct FaultyIo {
    int failOpen = 0;
    int failSave = 0;
    int opens = 0;
    int saves = 0;
    std::vector<std::filesystem::path> saved; // targets of the saves that ran

    WorkbookIo io();
};

// The program state, the recorder and the faults of one test. Not movable:
// the context refers to its members.
struct Harness {
    StoreState store;
    UpgradeState state;
    UiRecorder recorder;
    FaultyIo faults;

    explicit Harness(std::filesystem::path dataFile);
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    UpgradeContext context();
};

// The file's bytes, or an empty vector when it is missing.
std::vector<std::uint8_t> BytesOrNothing(const std::filesystem::path& path);

// Sets a file's modification time back an hour, so that a later write shows.
void Age(const std::filesystem::path& path);

// The names of the files in a folder, sorted.
std::vector<std::string> FileNames(const std::filesystem::path& folder);

// Files may grow only to `limit` bytes while this lives; a write past it
// fails with EFBIG instead of killing the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long limit);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long savedCurrent_;
    void (*savedHandler_)(int);
};

// Permission bits do not stop root: tests that need them run unprivileged
// (see CMakeLists.txt) and skip when run as root.
bool RunningAsRoot();

} // namespace tomorine::test
