#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tomorine {

class Recordset;

// The 56 text columns the merge compares and copies: URL1 … URL16,
// タイトル1 … 4, サブタイトル1 … 4, コメント1 … 16, キーワード1 … 16.
const std::vector<std::u16string>& MergeColumnNames();

// The rows of [tmp$] that no row of [トモリネ$] holds: one condition
// "([tmp$].col = [トモリネ$].col or [tmp$].col Is Null)" per text column.
std::u16string BuildMergeSelectStatement();

// The insert of the current row of `row` (a result of the select) under
// `serial`, 削除 0: each text column quoted with apostrophes doubled, a Null
// as ''. The form of the register command's insert.
std::u16string BuildMergeInsertStatement(std::int32_t serial, const Recordset& row);

} // namespace tomorine
