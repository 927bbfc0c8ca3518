#include "store/workbook/workbook.h"

#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <utility>

namespace tomorine {

namespace {

WorkbookError MissingSheet(std::u16string_view name) {
    return WorkbookError(WorkbookFault::SheetNotFound,
                         "シート「" + ToUtf8(name) + "」がありません");
}

} // namespace

bool SameSheetName(std::u16string_view a, std::u16string_view b) {
    return EqualIgnoringAsciiCase(a, b);
}

Workbook::Workbook(const Workbook& other) {
    *this = other;
}

Workbook& Workbook::operator=(const Workbook& other) {
    if (this != &other) {
        std::vector<std::unique_ptr<Sheet>> copies;
        copies.reserve(other.sheets_.size());
        for (const auto& s : other.sheets_) {
            copies.push_back(std::make_unique<Sheet>(*s));
        }
        sheets_ = std::move(copies);
        storedForm_ = other.storedForm_;
    }
    return *this;
}

Sheet& Workbook::sheet(int index) {
    return const_cast<Sheet&>(std::as_const(*this).sheet(index));
}

const Sheet& Workbook::sheet(int index) const {
    if (index < 1 || index > sheetCount()) {
        throw WorkbookError(WorkbookFault::SheetNotFound,
                            "シート " + std::to_string(index) + " がありません");
    }
    return *sheets_[index - 1];
}

Sheet& Workbook::sheet(std::u16string_view name) {
    return const_cast<Sheet&>(std::as_const(*this).sheet(name));
}

const Sheet& Workbook::sheet(std::u16string_view name) const {
    const Sheet* s = findSheet(name);
    if (s == nullptr) {
        throw MissingSheet(name);
    }
    return *s;
}

Sheet* Workbook::findSheet(std::u16string_view name) {
    return const_cast<Sheet*>(std::as_const(*this).findSheet(name));
}

const Sheet* Workbook::findSheet(std::u16string_view name) const {
    for (const auto& s : sheets_) {
        if (SameSheetName(s->name(), name)) {
            return s.get();
        }
    }
    return nullptr;
}

int Workbook::indexOf(const Sheet& sheet) const {
    for (size_t i = 0; i < sheets_.size(); ++i) {
        if (sheets_[i].get() == &sheet) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

bool Workbook::isValidSheetName(std::u16string_view name) {
    if (name.empty() || name.size() > 31) {
        return false;
    }
    return name.find_first_of(u":\\/?*[]") == std::u16string_view::npos;
}

Sheet& Workbook::addSheet(std::u16string name, int position) {
    if (!isValidSheetName(name)) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            "「" + ToUtf8(name) + "」はシート名に使えません");
    }
    if (findSheet(name) != nullptr) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            "シート「" + ToUtf8(name) + "」は既にあります");
    }
    if (position < 1 || position > sheetCount() + 1) {
        position = sheetCount() + 1;
    }
    auto it =
        sheets_.insert(sheets_.begin() + (position - 1), std::make_unique<Sheet>(std::move(name)));
    return **it;
}

void Workbook::renameSheet(Sheet& sheet, std::u16string name) {
    if (indexOf(sheet) == 0) {
        throw MissingSheet(sheet.name());
    }
    if (!isValidSheetName(name)) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            "「" + ToUtf8(name) + "」はシート名に使えません");
    }
    const Sheet* existing = findSheet(name);
    if (existing != nullptr && existing != &sheet) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            "シート「" + ToUtf8(name) + "」は既にあります");
    }
    sheet.name_ = std::move(name);
}

void Workbook::deleteSheet(const Sheet& sheet) {
    int index = indexOf(sheet);
    if (index == 0) {
        throw MissingSheet(sheet.name());
    }
    if (sheetCount() == 1) {
        throw WorkbookError(WorkbookFault::SheetRule,
                            "ブックには少なくとも 1 枚のシートが必要です");
    }
    sheets_.erase(sheets_.begin() + (index - 1));
}

} // namespace tomorine
