#include "store/table/not_exists_scan.h"

#include "store/table/not_exists_form.h"
#include "store/table/result_rows.h"
#include "store/table/sqlite_handle.h"
#include "store/workbook/ascii_case.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tomorine {

namespace {

using Value = std::optional<std::string_view>; // Null is nothing

// The compared columns of the inner table, row by row, in one buffer.
class InnerRows {
public:
    explicit InnerRows(size_t width) : width_(width) {}

    size_t count() const { return width_ == 0 ? 0 : cells_.size() / width_; }
    size_t width() const { return width_; }
    // False when the texts outgrow what a cell can address.
    bool add(Value value) {
        if (!value) {
            cells_.push_back({0, -1});
            return true;
        }
        if (text_.size() + value->size() > std::numeric_limits<std::int32_t>::max()) {
            return false;
        }
        cells_.push_back(
            {static_cast<std::uint32_t>(text_.size()), static_cast<std::int32_t>(value->size())});
        text_.append(*value);
        return true;
    }
    Value value(size_t row, size_t column) const {
        const Cell& cell = cells_[row * width_ + column];
        if (cell.length < 0) {
            return std::nullopt;
        }
        return std::string_view(text_).substr(cell.offset, static_cast<size_t>(cell.length));
    }

private:
    struct Cell {
        std::uint32_t offset;
        std::int32_t length; // -1: Null
    };
    size_t width_;
    std::string text_;
    std::vector<Cell> cells_;
};

// Decides for one outer row whether no inner row matches it: an inner row
// matches when, column by column, the outer value is Null or equals the
// inner value (a Null inner value equals nothing).
class Matcher {
public:
    explicit Matcher(InnerRows inner) : inner_(std::move(inner)), index_(inner_.width()) {}

    bool noMatch(const std::vector<Value>& outer) {
        if (inner_.count() == 0) {
            return true;
        }
        // A few candidates are enough; further indexes are built only
        // while earlier columns leave more.
        constexpr size_t kFewCandidates = 4;
        const std::vector<std::uint32_t>* candidates = nullptr;
        for (size_t i = 0; i < outer.size(); ++i) {
            if (!outer[i]) {
                continue;
            }
            const Index& index = indexOf(i);
            auto it = index.find(*outer[i]);
            if (it == index.end()) {
                return true;
            }
            if (candidates == nullptr || it->second.size() < candidates->size()) {
                candidates = &it->second;
            }
            if (candidates->size() <= kFewCandidates) {
                break;
            }
        }
        if (candidates == nullptr) {
            return false; // an all-Null row matches every inner row
        }
        for (std::uint32_t row : *candidates) {
            if (matches(row, outer)) {
                return false;
            }
        }
        return true;
    }

    bool foreignValue = false; // a value neither text nor Null was seen

private:
    using Index = std::unordered_map<std::string_view, std::vector<std::uint32_t>>;

    const Index& indexOf(size_t column) {
        std::optional<Index>& index = index_[column];
        if (!index) {
            index.emplace();
            index->reserve(inner_.count());
            for (size_t row = 0; row < inner_.count(); ++row) {
                if (Value value = inner_.value(row, column)) {
                    (*index)[*value].push_back(static_cast<std::uint32_t>(row));
                }
            }
        }
        return *index;
    }

    bool matches(size_t row, const std::vector<Value>& outer) const {
        for (size_t i = 0; i < outer.size(); ++i) {
            if (outer[i] && inner_.value(row, i) != outer[i]) {
                return false;
            }
        }
        return true;
    }

    InnerRows inner_;
    std::vector<std::optional<Index>> index_;
};

std::string Quote(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

// Declared TEXT and compared bytewise, so that "=" on two such columns
// compares the texts as they are.
bool ComparesAsText(sqlite3* db, const std::string& table, const std::string& column) {
    const char* type = nullptr;
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(db, nullptr, table.c_str(), column.c_str(), &type, &collation,
                                      nullptr, nullptr, nullptr) != SQLITE_OK) {
        return false;
    }
    return type != nullptr && EqualIgnoringAsciiCase<char>(type, "TEXT") && collation != nullptr &&
           EqualIgnoringAsciiCase<char>(collation, "BINARY");
}

bool AllCompareAsText(sqlite3* db, const NotExistsForm& form) {
    for (const NotExistsPair& pair : form.pairs) {
        if (!ComparesAsText(db, form.outerTable, pair.outerColumn) ||
            !ComparesAsText(db, form.innerTable, pair.innerColumn)) {
            return false;
        }
    }
    return true;
}

Value ValueOf(sqlite3_value* value, bool& foreign) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_TEXT: {
        auto text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        return std::string_view(text ? text : "", static_cast<size_t>(sqlite3_value_bytes(value)));
    }
    default:
        foreign = true;
        return std::nullopt;
    }
}

// Reads the inner table's compared columns. Nothing when the table cannot
// be read so (`rc` kNotExistsNotTaken) or reading failed (`rc` SQLite's code).
std::optional<InnerRows> ReadInner(sqlite3* db, const NotExistsForm& form, int& rc) {
    std::string sql = "SELECT ";
    for (size_t i = 0; i < form.pairs.size(); ++i) {
        sql += (i == 0 ? "" : ", ") + Quote(form.pairs[i].innerColumn);
    }
    sql += " FROM " + Quote(form.innerTable);
    sqlite3_stmt* handle = nullptr;
    SqliteStatement statement;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &handle, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(handle);
        rc = kNotExistsNotTaken;
        return std::nullopt;
    }
    statement.reset(handle);
    InnerRows rows(form.pairs.size());
    bool foreign = false;
    while ((rc = sqlite3_step(handle)) == SQLITE_ROW) {
        bool room = true;
        for (int i = 0; i < static_cast<int>(form.pairs.size()); ++i) {
            room = rows.add(ValueOf(sqlite3_column_value(handle, i), foreign)) && room;
        }
        if (foreign || !room || rows.count() > std::numeric_limits<std::uint32_t>::max()) {
            rc = kNotExistsNotTaken;
            return std::nullopt;
        }
    }
    if (rc != SQLITE_DONE) {
        return std::nullopt;
    }
    return rows;
}

constexpr char kKeepFunction[] = "tomorine_not_exists_keep";
constexpr char kMatcherType[] = "tomorine_not_exists_matcher";

// keep(matcher, outer values …): 1 when no inner row matches. The matcher
// comes as a bound pointer, so the function can stay registered and a
// statement that calls it without one only gets an error.
void Keep(sqlite3_context* context, int argc, sqlite3_value** argv) {
    auto* matcher =
        static_cast<Matcher*>(argc > 0 ? sqlite3_value_pointer(argv[0], kMatcherType) : nullptr);
    if (matcher == nullptr) {
        sqlite3_result_error(context, "tomorine_not_exists_keep: no matcher", -1);
        return;
    }
    try {
        std::vector<Value> outer;
        outer.reserve(static_cast<size_t>(argc - 1));
        for (int i = 1; i < argc; ++i) {
            outer.push_back(ValueOf(argv[i], matcher->foreignValue));
        }
        sqlite3_result_int(context, !matcher->foreignValue && matcher->noMatch(outer) ? 1 : 0);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    }
}

// The outer rows that no inner row matches, as the statement would give them.
int FetchKept(sqlite3* db, const NotExistsForm& form, Matcher& matcher, Recordset& rows) {
    if (sqlite3_create_function_v2(db, kKeepFunction, -1, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr,
                                   &Keep, nullptr, nullptr, nullptr) != SQLITE_OK) {
        return kNotExistsNotTaken;
    }
    const std::string outer = Quote(form.outerTable);
    std::string sql = "SELECT " + outer + ".* FROM " + outer + " WHERE " + kKeepFunction + "(?1";
    for (const NotExistsPair& pair : form.pairs) {
        sql += ", " + outer + "." + Quote(pair.outerColumn);
    }
    sql += ")";
    sqlite3_stmt* handle = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &handle, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(handle);
        return kNotExistsNotTaken;
    }
    SqliteStatement statement(handle);
    sqlite3_bind_pointer(handle, 1, &matcher, kMatcherType, nullptr);
    Recordset kept;
    int rc = FetchRows(handle, kept);
    if (rc == SQLITE_DONE && matcher.foreignValue) {
        return kNotExistsNotTaken;
    }
    if (rc == SQLITE_DONE) {
        rows = std::move(kept);
    }
    return rc;
}

} // namespace

int RunNotExists(sqlite3* db, std::string_view sql, Recordset& rows) {
    std::optional<NotExistsForm> form = RecogniseNotExists(sql);
    // A function takes at most 127 arguments in every SQLite build.
    if (!form || form->pairs.size() > 126 || !AllCompareAsText(db, *form)) {
        return kNotExistsNotTaken;
    }
    int rc = SQLITE_OK;
    std::optional<InnerRows> inner = ReadInner(db, *form, rc);
    if (!inner) {
        return rc;
    }
    Matcher matcher(std::move(*inner));
    return FetchKept(db, *form, matcher, rows);
}

} // namespace tomorine
