#include "store/table/statement_policy.h"

#include <string_view>

namespace tomorine {

void StatementPolicy::install(sqlite3* db) {
    sqlite3_set_authorizer(db, &StatementPolicy::Authorize, this);
}

void StatementPolicy::prepare() {
    denied_.clear();
    writes_ = false;
}

std::string StatementPolicy::refusal(bool readOnly) const {
    if (!denied_.empty()) {
        return denied_;
    }
    if (!readOnly && !writes_) {
        return "この種類の文は実行できません";
    }
    return {};
}

int StatementPolicy::Authorize(void* self, int action, const char* table, const char*, const char*,
                               const char*) {
    auto& policy = *static_cast<StatementPolicy*>(self);
    // The first refused action says best what the statement is (DROP TABLE
    // is also a DELETE on the schema).
    auto deny = [&policy](const char* reason) {
        if (policy.denied_.empty()) {
            policy.denied_ = reason;
        }
        return SQLITE_DENY;
    };
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
        policy.writes_ = true;
        return SQLITE_OK;
    case SQLITE_DELETE:
        // DROP TABLE deletes from the schema table first.
        if (table != nullptr && std::string_view(table).starts_with("sqlite_")) {
            return deny("この種類の文は実行できません");
        }
        return deny("行の削除 (DELETE) はできません");
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        return deny("トランザクションは使えません (文は一つずつ確定します)");
    default:
        return deny("この種類の文は実行できません");
    }
}

} // namespace tomorine
