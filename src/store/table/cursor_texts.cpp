#include "store/table/cursor_texts.h"

#include "store/table/cell_value.h"

namespace tomorine {

namespace {

void SetText(sqlite3_context* context, const std::string& text) {
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

} // namespace

void KeptTexts::setResult(sqlite3_context* context, const Cell& cell, int row, int column,
                          std::string& scratch) {
    if (columns_.size() <= static_cast<size_t>(column)) {
        columns_.resize(column + 1);
    }
    Column& kept = columns_[column];
    if (kept.state.size() <= static_cast<size_t>(row)) {
        kept.texts.resize(row + 1);
        kept.state.resize(row + 1);
    }
    if (kept.state[row] > 0) {
        SetText(context, kept.texts[row]);
        return;
    }
    bool buffered = SetResult(context, cell, ColumnKind::Text, scratch);
    if (kept.state[row] == 0) {
        kept.state[row] = buffered ? 1 : -1;
        if (buffered) {
            kept.texts[row] = scratch;
        }
    }
}

void KeptTexts::clear() {
    scans_ = 0;
    columns_.clear();
    columns_.shrink_to_fit();
}

void CursorTexts::setResult(sqlite3_context* context, const Cell& cell, int row, int column,
                            ColumnKind kind, KeptTexts& kept, unsigned generation) {
    if (generation != generation_) {
        generation_ = generation;
        bufferColumn_ = -1;
    }
    if (row == bufferRow_ && column == bufferColumn_) {
        SetText(context, buffer_);
        return;
    }
    if (kind == ColumnKind::Text && kept.active()) {
        kept.setResult(context, cell, row, column, buffer_);
        bufferColumn_ = -1;
        return;
    }
    bool buffered = SetResult(context, cell, kind, buffer_);
    bufferRow_ = row;
    bufferColumn_ = buffered ? column : -1;
}

} // namespace tomorine
