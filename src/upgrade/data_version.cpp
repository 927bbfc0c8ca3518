#include "upgrade/data_version.h"

#include "store/cache/workbook_cache.h"
#include "store/entry.h"
#include "store/files/data_file_lock.h"
#include "store/table/table_columns.h"
#include "store/workbook/ascii_case.h"
#include "store/workbook/workbook_error.h"
#include "upgrade/backup.h"
#include "upgrade/conversion.h"
#include "upgrade/tmp_sheet.h"

#include <optional>

namespace tomorine {

namespace {

// The version from the header row alone: the columns the entry table shows.
// Nothing when the sheet is missing, which the read below reports.
std::optional<DataVersion> VersionFromHeader(const std::filesystem::path& path) {
    std::shared_ptr<const Workbook> book = DataWorkbookCache().load(path);
    const Sheet* sheet = book->findSheet(EntrySheetName);
    if (sheet == nullptr) {
        return std::nullopt;
    }
    if (sheet->lastUsedRow() < 2) {
        return DataVersion::Current; // no data row: nothing to read a field of
    }
    for (const TableColumn& column : TableColumns(*sheet)) {
        if (EqualIgnoringAsciiCase(std::u16string_view(column.name),
                                   std::u16string_view(u"URL5"))) {
            return DataVersion::Current;
        }
    }
    return DataVersion::Old;
}

void RunConversionSteps(UpgradeContext& context, bool& completed) {
    DeleteTmpSheet(context);
    AddConversionSheet(context);
    completed = ConvertEntryRows(context);
    if (completed) {
        ReplaceEntrySheet(context);
    }
}

void CloseProgress(UpgradeContext& context) {
    if (context.ui.closeProgress) {
        context.ui.closeProgress();
    }
}

// After a conversion that did not complete: the backup put back and the
// progress closed. A failure to put it back is thrown after `cause`, the
// conversion's own failure, so that the user learns of both.
void PutBackupBack(UpgradeContext& context, const std::string& cause) {
    try {
        RestoreDataBackup(context);
    } catch (const WorkbookError& e) {
        CloseProgress(context);
        throw WorkbookError(e.fault(), (cause.empty() ? "" : cause + "\r\n") +
                                           QuotedPath(BackupFilePath(context.store.dataFilePath)) +
                                           " を戻せませんでした: " + e.what());
    }
    CloseProgress(context);
}

} // namespace

std::u16string_view VersionText(DataVersion version) {
    return version == DataVersion::Current ? u"0105" : u"0104";
}

DataVersion GetDataVersion(const std::filesystem::path& path) {
    if (std::optional<DataVersion> version = VersionFromHeader(path)) {
        return *version;
    }
    try {
        Connection connection(path);
        const SheetRows rows = connection.rows(EntrySheetName);
        if (rows.lastRow() >= rows.firstRow()) {
            rows.column(u"URL5");
        }
        connection.close();
        return DataVersion::Current;
    } catch (const WorkbookError& e) {
        if (e.fault() == WorkbookFault::FieldNotFound) {
            return DataVersion::Old;
        }
        throw;
    }
}

DataFileCheck CheckDataVersion(UpgradeContext& context) {
    context.state.conversionConfirmed = false;
    const BackupState found = CheckBackupAndRecover(context);
    switch (found) {
    case BackupState::Converted:
    case BackupState::Current:
    case BackupState::Nothing:
        return DataFileCheck::Usable;
    case BackupState::Declined:
        return DataFileCheck::Refused;
    default:
        break;
    }
    if (context.message(u"データバージョンが違います。\r\n\r\nデータコンバートを開始します。\r\n"
                        u"よろしいですか？",
                        MessageStyle::OkCancelExclamation) != AnswerOk) {
        return DataFileCheck::Usable;
    }
    context.state.conversionConfirmed = true;
    // One writer from the backup to the last step or the backup put back.
    // Until the steps run nothing is written: nothing to put back.
    DataFileLock lock(context.store.dataFilePath);
    if (found == BackupState::OldWithBackup) {
        RefreshDataBackup(context);
    }
    bool completed = false;
    try {
        RunConversionSteps(context, completed);
    } catch (const std::exception& e) {
        PutBackupBack(context, e.what());
        throw;
    }
    if (!completed) {
        PutBackupBack(context, {});
        return DataFileCheck::Refused;
    }
    context.message(u"終了しました", MessageStyle::Ok);
    CloseProgress(context);
    return DataFileCheck::Usable;
}

} // namespace tomorine
