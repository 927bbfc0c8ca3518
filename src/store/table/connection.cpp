#include "store/table/connection.h"

#include "store/cache/workbook_cache.h"
#include "store/table/result_rows.h"
#include "store/table/sheet_module.h"
#include "store/table/sqlite_handle.h"
#include "store/table/statement_error.h"
#include "store/table/statement_policy.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tomorine {

namespace {

// Only blanks, semicolons and comments may follow the one statement.
bool OnlyEndsStatement(std::string_view tail) {
    size_t i = 0;
    while (i < tail.size()) {
        if (tail.substr(i, 2) == "--") {
            i = std::min(tail.find('\n', i), tail.size());
        } else if (tail.substr(i, 2) == "/*") {
            size_t close = tail.find("*/", i + 2);
            i = close == std::string_view::npos ? tail.size() : close + 2;
        } else if (std::string_view(" \t\r\n\f\v;").find(tail[i]) != std::string_view::npos) {
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

struct Connection::Impl {
    int rowsChanged = 0;
    Impl(std::filesystem::path p, std::shared_ptr<Workbook> b, bool isShared)
        : path(std::move(p)), book(std::move(b)), shared(isShared) {
        attach();
    }

    // Statements that write work on a workbook of this connection's own.
    void ownWorkbook() {
        db.reset();
        std::shared_ptr<Workbook> released = DataWorkbookCache().release(book);
        book = released ? std::move(released) : std::make_shared<Workbook>(*book);
        shared = false;
        const bool changed = session.changed;
        session = TableSession{};
        session.changed = changed;
        attach();
    }

    void attach() {
        session.book = book.get();
        sqlite3* handle = nullptr;
        // One thread at a time uses a connection: no locking on every call.
        int rc = sqlite3_open_v2(":memory:", &handle,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                 nullptr);
        db.reset(handle);
        if (rc == SQLITE_OK) {
            rc = CreateSheetTables(handle, session);
        }
        if (rc != SQLITE_OK) {
            fail(rc);
        }
        policy.install(handle);
    }

    // Throws the error of a failed SQLite call.
    [[noreturn]] void fail(int rc) {
        if (session.error) {
            std::exception_ptr error = std::exchange(session.error, nullptr);
            try {
                std::rethrow_exception(error);
            } catch (const TableRefusal& refusal) {
                throw StatementRefused(path, refusal.what());
            }
        }
        throw StatementError(path, db ? sqlite3_errmsg(db.get()) : sqlite3_errstr(rc));
    }

    SqliteStatement prepare(const std::string& text) {
        if (text.find('\0') != std::string::npos) {
            throw StatementRefused(path, "文に NUL 文字があります");
        }
        policy.prepare();
        sqlite3_stmt* handle = nullptr;
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(db.get(), text.c_str(), static_cast<int>(text.size()), &handle,
                                    &tail);
        SqliteStatement statement(handle);
        std::string refusal = policy.refusal(handle == nullptr || sqlite3_stmt_readonly(handle));
        if (!refusal.empty()) {
            throw StatementRefused(path, refusal);
        }
        if (rc != SQLITE_OK) {
            fail(rc);
        }
        if (!statement) {
            throw StatementRefused(path, "文が空です");
        }
        if (!OnlyEndsStatement(std::string_view(tail, text.data() + text.size() - tail))) {
            throw StatementRefused(path, "一度に実行できる文は一つだけです");
        }
        return statement;
    }

    std::filesystem::path path;
    std::shared_ptr<Workbook> book;
    bool shared = false; // others read *book: never change it
    TableSession session;
    StatementPolicy policy;
    SqliteDatabase db; // last: closed before the workbook it reads goes away
    bool open = true;
};

Connection::Connection(const std::filesystem::path& path)
    : Connection(path, DataWorkbookCache().load(path)) {}

Connection::Connection(std::filesystem::path path, Workbook book)
    : impl_(std::make_unique<Impl>(std::move(path), std::make_shared<Workbook>(std::move(book)),
                                   false)) {}

Connection::Connection(std::filesystem::path path, std::shared_ptr<Workbook> book)
    : impl_(std::make_unique<Impl>(std::move(path), std::move(book), false)) {}

Connection::Connection(std::filesystem::path path, std::shared_ptr<const Workbook> book)
    : impl_(
          std::make_unique<Impl>(std::move(path), std::const_pointer_cast<Workbook>(book), true)) {}

Connection::~Connection() = default;

Recordset Connection::execute(std::u16string_view statement) {
    if (!impl_->open) {
        throw WorkbookError(ErrorNumber::Statement,
                            QuotedPath(impl_->path) + " への接続は閉じています");
    }
    std::string text;
    AssignUtf8(text, statement);
    SqliteStatement prepared = impl_->prepare(text);
    if (impl_->shared && !sqlite3_stmt_readonly(prepared.get())) {
        prepared = SqliteStatement();
        impl_->ownWorkbook();
        prepared = impl_->prepare(text);
    }
    impl_->session.error = nullptr;
    Recordset rows;
    int rc = FetchRows(prepared.get(), rows);
    if (rc != SQLITE_DONE) {
        impl_->fail(rc);
    }
    impl_->rowsChanged =
        sqlite3_stmt_readonly(prepared.get()) ? 0 : sqlite3_changes(impl_->db.get());
    return rows;
}

int Connection::rowsChanged() const {
    return impl_->rowsChanged;
}

void Connection::close() {
    if (!impl_->open) {
        return;
    }
    if (impl_->session.changed) {
        WriteXlsFile(*impl_->book, impl_->path);
    }
    impl_->open = false;
    impl_->db.reset();
    impl_->book = std::make_shared<Workbook>();
    impl_->shared = false;
}

bool Connection::isOpen() const {
    return impl_->open;
}

bool Connection::changed() const {
    return impl_->session.changed;
}

const std::filesystem::path& Connection::path() const {
    return impl_->path;
}

const Workbook& Connection::workbook() const {
    return *impl_->book;
}

} // namespace tomorine
