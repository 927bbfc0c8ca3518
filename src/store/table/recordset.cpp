#include "store/table/recordset.h"

#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>

namespace tomorine {

std::size_t FieldNameHash::operator()(std::u16string_view name) const noexcept {
    // FNV-1a over the folded code units.
    std::size_t hash = 14695981039346656037ULL;
    for (char16_t c : name) {
        hash = (hash ^ FoldAsciiCase(c)) * 1099511628211ULL;
    }
    return hash;
}

bool FieldNameEqual::operator()(std::u16string_view a, std::u16string_view b) const noexcept {
    return EqualIgnoringAsciiCase(a, b);
}

Recordset::Recordset(std::vector<std::u16string> fieldNames, std::shared_ptr<const void> owner,
                     std::vector<const std::vector<Cell>*> rows)
    : open_(true), names_(std::move(fieldNames)), owner_(std::move(owner)),
      inPlace_(std::move(rows)), rows_(static_cast<long>(inPlace_.size())) {
    firstOfName_.reserve(names_.size());
    for (size_t i = 0; i < names_.size(); ++i) {
        firstOfName_.push_back(index_.emplace(names_[i], static_cast<int>(i)).second);
    }
}

void Recordset::close() {
    *this = Recordset();
}

void Recordset::moveFirst() {
    position_ = 0;
}

void Recordset::moveNext() {
    position_ = std::min(position_ + 1, rows_);
}

void Recordset::move(long count) {
    position_ = std::clamp(position_ + count, -1L, rows_);
}

int Recordset::fieldIndex(std::u16string_view name) const {
    int guess = nextGuess_ < fieldCount() ? nextGuess_ : 0;
    if (guess < fieldCount() && firstOfName_[guess] && FieldNameEqual()(names_[guess], name)) {
        nextGuess_ = guess + 1;
        return guess;
    }
    auto found = index_.find(name);
    if (found == index_.end()) {
        throw WorkbookError(WorkbookFault::FieldNotFound,
                            "項目「" + ToUtf8(name) + "」がありません");
    }
    nextGuess_ = found->second + 1;
    return found->second;
}

const Cell& Recordset::field(int index) const {
    if (index < 0 || index >= fieldCount()) {
        throw WorkbookError(WorkbookFault::FieldNotFound,
                            "項目 " + std::to_string(index) + " がありません");
    }
    if (bof() || eof()) {
        throw WorkbookError(WorkbookFault::NoCurrentRecord,
                            "現在のレコードがありません (BOF または EOF です)");
    }
    static const Cell empty;
    const std::vector<Cell>& row = *inPlace_[static_cast<size_t>(position_)];
    return static_cast<size_t>(index) < row.size() ? row[static_cast<size_t>(index)] : empty;
}

} // namespace tomorine
