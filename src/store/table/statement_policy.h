#pragma once

#include <sqlite3.h>
#include <string>

namespace tomorine {

// Keeps a connection to the statements the driver it replaces accepted:
// queries, INSERT and UPDATE. Everything else (DELETE, DDL, transactions,
// ATTACH, PRAGMA, VACUUM …) is refused before it runs, with a reason.
// Installed as the database's authorizer; call prepare() before and
// refusal() after each sqlite3_prepare.
class StatementPolicy {
public:
    void install(sqlite3* db);
    void prepare();
    // Why the statement just prepared may not run; empty when it may.
    // `readOnly` is sqlite3_stmt_readonly of that statement.
    std::string refusal(bool readOnly) const;

private:
    static int Authorize(void* self, int action, const char*, const char*, const char*,
                         const char*);

    std::string denied_;
    bool writes_ = false;
};

} // namespace tomorine
