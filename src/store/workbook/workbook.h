#pragma once

#include "store/workbook/sheet.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine {

// What the codec remembers of the file a workbook was last read from or saved
// to, so that the next save can copy what did not change. Opaque here.
class StoredForm {
public:
    virtual ~StoredForm() = default;
};

// The workbook model: sheets and cells in memory. Files are read and written by the codec
// (store/xls); this class never touches the disk. Sheet indexes are 1-based; sheet names are
// matched without regard to ASCII letter case, as the spreadsheet does.
class Workbook {
public:
    Workbook() = default;
    Workbook(const Workbook& other);
    Workbook& operator=(const Workbook& other);
    Workbook(Workbook&&) noexcept = default;
    Workbook& operator=(Workbook&&) noexcept = default;

    int sheetCount() const { return static_cast<int>(sheets_.size()); }
    // Error 9 when out of range or missing.
    Sheet& sheet(int index);
    const Sheet& sheet(int index) const;
    Sheet& sheet(std::u16string_view name);
    const Sheet& sheet(std::u16string_view name) const;
    Sheet* findSheet(std::u16string_view name);
    const Sheet* findSheet(std::u16string_view name) const;
    int indexOf(const Sheet& sheet) const; // 1-based; 0 when not in this workbook

    // Adds an empty sheet at a 1-based position (default: at the end).
    // Error 1004 when the name is taken or not a valid sheet name.
    Sheet& addSheet(std::u16string name, int position = 0);
    void renameSheet(Sheet& sheet, std::u16string name);
    void deleteSheet(const Sheet& sheet);

    // Excel's rules: 1 to 31 characters, none of : \ / ? * [ ].
    static bool isValidSheetName(std::u16string_view name);

    // Copies share it; the codec compares the cells with it before it trusts it.
    const std::shared_ptr<const StoredForm>& storedForm() const { return storedForm_; }
    void setStoredForm(std::shared_ptr<const StoredForm> form) const {
        storedForm_ = std::move(form);
    }

private:
    std::vector<std::unique_ptr<Sheet>> sheets_;
    // Set by a save of a workbook that is otherwise unchanged by it.
    mutable std::shared_ptr<const StoredForm> storedForm_;
};

// Whole-name comparison with ASCII letters folded.
bool SameSheetName(std::u16string_view a, std::u16string_view b);

} // namespace tomorine
