#include "store/table/statement_policy.h"

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

int StatementPolicy::Authorize(void* self, int action, const char*, const char*, const char*,
                               const char*) {
    auto& policy = *static_cast<StatementPolicy*>(self);
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
        policy.denied_ = "行の削除 (DELETE) はできません";
        return SQLITE_DENY;
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        policy.denied_ = "トランザクションは使えません (文は一つずつ確定します)";
        return SQLITE_DENY;
    default:
        policy.denied_ = "この種類の文は実行できません";
        return SQLITE_DENY;
    }
}

} // namespace tomorine
