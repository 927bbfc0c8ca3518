#include "merge/conflict_merge.h"

#include "merge/merge_engine.h"
#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/table/table_columns.h"
#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>

namespace tomorine {

namespace {

namespace fs = std::filesystem;

bool HasColumn(const std::vector<TableColumn>& columns, std::u16string_view name) {
    return std::any_of(columns.begin(), columns.end(), [&](const TableColumn& column) {
        return EqualIgnoringAsciiCase<char16_t>(column.name, name);
    });
}

// The copy's workbook when the merge can take it; otherwise its problem.
std::optional<Workbook> ReadCopy(ConflictCopy& copy, const WorkbookIo& io) {
    Workbook book;
    try {
        book = io.open(copy.file);
    } catch (const std::exception& e) {
        copy.problem = CopyProblem::Unreadable;
        copy.reason = e.what();
        return std::nullopt;
    }
    const Sheet* sheet = book.findSheet(EntrySheetName);
    if (sheet == nullptr) {
        copy.problem = CopyProblem::NotOurs;
        copy.reason = QuotedPath(copy.file) +
                      " はトモリネのデータファイルではありません (シート「" +
                      ToUtf8(EntrySheetName) + "」がありません)";
        return std::nullopt;
    }
    const std::vector<TableColumn> columns = TableColumns(*sheet);
    for (const std::u16string& name : MergeColumnNames()) {
        if (HasColumn(columns, name)) {
            continue;
        }
        const bool old = !HasColumn(columns, u"URL5") && HasColumn(columns, u"URL1");
        copy.problem = old ? CopyProblem::OldLayout : CopyProblem::NotOurs;
        copy.reason =
            QuotedPath(copy.file) + (old ? " は旧バージョン (0104) のデータファイルです"
                                         : " はトモリネのデータファイルではありません (列「" +
                                               ToUtf8(name) + "」がありません)");
        return std::nullopt;
    }
    for (int row = 3; row <= sheet->lastUsedRow(); ++row) {
        copy.entries += sheet->row(row).empty() ? 0 : 1;
    }
    return book;
}

// "name (2).xls", "name (3).xls" … for a name taken in the folder.
fs::path Numbered(const fs::path& folder, const fs::path& name, int number) {
    if (number == 1) {
        return folder / name;
    }
    return folder /
           (name.stem().string() + " (" + std::to_string(number) + ")" + name.extension().string());
}

// Moves without ever replacing a file: a name taken, even at the last
// moment, gets the next number.
fs::path MoveToFreeName(const fs::path& file, const fs::path& folder) {
    std::error_code error;
    fs::create_directory(folder, error);
    if (error) {
        throw FileError(error.value(), "作成", folder);
    }
    for (int number = 1;; ++number) {
        const fs::path target = Numbered(folder, file.filename(), number);
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            return target;
        }
        if (errno == EEXIST) {
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            throw FileError(errno, "移動", file);
        }
        // A file system without the no-replace rename: check, then rename.
        if (fs::exists(target, error)) {
            continue;
        }
        fs::rename(file, target, error);
        if (error) {
            throw FileError(error.value(), "移動", file);
        }
        return target;
    }
}

fs::path ConflictsFolder(const fs::path& dataFile) {
    return dataFile.parent_path() / "conflicts";
}

} // namespace

std::vector<ConflictCopy> InspectConflictCopies(const fs::path& dataFile,
                                                const std::vector<fs::path>& copies,
                                                const WorkbookIo& io) {
    std::vector<ConflictCopy> result;
    std::optional<Workbook> data;
    for (const fs::path& file : copies) {
        ConflictCopy& copy = result.emplace_back();
        copy.file = file;
        std::optional<Workbook> book = ReadCopy(copy, io);
        if (!book) {
            continue;
        }
        if (!data) {
            data = io.open(dataFile);
        }
        try {
            copy.newEntries = CountMergeableEntries(dataFile, *data, *book, file);
        } catch (const std::exception& e) {
            copy.problem = CopyProblem::Unreadable;
            copy.reason = e.what();
        }
    }
    return result;
}

std::vector<MergedCopy> MergeConflictCopies(UpgradeContext& context,
                                            const std::vector<fs::path>& copies) {
    const fs::path dataFile = context.store.dataFilePath;
    std::vector<MergedCopy> result;
    std::string stopped;
    for (const fs::path& file : copies) {
        MergedCopy& merged = result.emplace_back();
        merged.file = file;
        ConflictCopy copy;
        copy.file = file;
        if (!stopped.empty()) {
            merged.error = stopped;
        } else if (!ReadCopy(copy, context.io)) {
            merged.error = copy.reason;
        } else {
            try {
                DataFileLock lock(dataFile);
                merged.added = MergeReferenceData(context, file).added;
                try {
                    merged.movedTo = MoveToFreeName(file, ConflictsFolder(dataFile));
                } catch (const std::exception& e) {
                    // Offered again, it adds nothing: its entries are in the data file.
                    merged.error = e.what() + std::string(" (エントリーはマージ済みです)");
                }
            } catch (const DataWorkbookUnreadable& e) {
                stopped = e.what() + std::string("。マージしませんでした");
                merged.error = stopped;
            } catch (const std::exception& e) {
                merged.error = e.what();
            }
        }
    }
    return result;
}

} // namespace tomorine
