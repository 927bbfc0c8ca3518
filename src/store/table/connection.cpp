#include "store/table/connection.h"

#include "store/cache/workbook_cache.h"
#include "store/table/cell_value.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"
#include "store/xls/xls_file.h"

#include <map>
#include <utility>

namespace tomorine {

namespace {

// The cells `texts` make in the named columns, by zero-based column.
std::vector<std::pair<int, Cell>> CellsOf(const SheetRows& rows,
                                          const std::vector<std::u16string>& columns,
                                          const std::vector<std::u16string>& texts) {
    std::vector<std::pair<int, Cell>> cells;
    cells.reserve(columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        const int column = rows.column(columns[i]);
        cells.emplace_back(column, StoreAs(texts[i], rows.columns()[column].kind));
    }
    return cells;
}

} // namespace

struct Connection::Impl {
    Impl(std::filesystem::path p, std::shared_ptr<Workbook> b, bool isShared)
        : path(std::move(p)), book(std::move(b)), shared(isShared) {}

    Sheet& sheet(std::u16string_view name) {
        Sheet* found = book->findSheet(name);
        if (found == nullptr) {
            throw WorkbookError(WorkbookFault::SheetNotFound,
                                QuotedPath(path) + " にシート「" + ToUtf8(name) + "」がありません");
        }
        return *found;
    }

    SheetRows rows(const Sheet& sheet) {
        auto [fixed, first] = columns.try_emplace(sheet.name());
        if (first) {
            fixed->second = TableColumns(sheet);
        }
        return SheetRows(sheet, path, fixed->second);
    }

    // The sheet to write to, in a workbook of this connection's own.
    Sheet& sheetToChange(std::u16string_view name) {
        if (shared) {
            std::shared_ptr<Workbook> released = DataWorkbookCache().release(book);
            book = released ? std::move(released) : std::make_shared<Workbook>(*book);
            shared = false;
        }
        return sheet(name);
    }

    std::filesystem::path path;
    std::shared_ptr<Workbook> book;
    bool shared = false; // others read *book: never change it
    bool changed = false;
    bool open = true;
    // Each sheet's columns as it was first used: a write never changes them.
    std::map<std::u16string, std::vector<TableColumn>> columns;
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

SheetRows Connection::rows(std::u16string_view sheet) {
    return impl_->rows(impl_->sheet(sheet));
}

void Connection::insert(std::u16string_view sheet, const std::vector<std::u16string>& columns,
                        const std::vector<std::u16string>& texts) {
    const SheetRows rows = impl_->rows(impl_->sheet(sheet));
    Sheet::Row row(rows.columns().size());
    bool empty = true;
    for (auto& [column, cell] : CellsOf(rows, columns, texts)) {
        empty = empty && cell.isEmpty();
        row[column] = std::move(cell);
    }
    impl_->sheetToChange(sheet).appendRow(std::move(row));
    impl_->changed = impl_->changed || !empty;
}

void Connection::update(std::u16string_view sheet, const std::vector<int>& rows,
                        const std::vector<std::u16string>& columns,
                        const std::vector<std::u16string>& texts) {
    const auto cells = CellsOf(impl_->rows(impl_->sheet(sheet)), columns, texts);
    if (rows.empty()) {
        return;
    }
    Sheet& changing = impl_->sheetToChange(sheet);
    for (int row : rows) {
        for (const auto& [column, cell] : cells) {
            if (!(cell == changing.cell(row, column + 1))) {
                changing.setCell(row, column + 1, cell);
                impl_->changed = true;
            }
        }
    }
}

void Connection::close() {
    if (!impl_->open) {
        return;
    }
    if (impl_->changed) {
        WriteXlsFile(*impl_->book, impl_->path);
    }
    impl_->open = false;
    impl_->book = std::make_shared<Workbook>();
    impl_->shared = false;
    impl_->columns.clear();
}

bool Connection::isOpen() const {
    return impl_->open;
}

bool Connection::changed() const {
    return impl_->changed;
}

const std::filesystem::path& Connection::path() const {
    return impl_->path;
}

const Workbook& Connection::workbook() const {
    return *impl_->book;
}

} // namespace tomorine
