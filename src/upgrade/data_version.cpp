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
// Empty when the sheet is missing, which the statement below reports.
std::u16string VersionFromHeader(const std::filesystem::path& path) {
    std::shared_ptr<const Workbook> book = DataWorkbookCache().load(path);
    const Sheet* sheet = book->findSheet(EntrySheetName);
    if (sheet == nullptr) {
        return {};
    }
    if (sheet->lastUsedRow() < 2) {
        return std::u16string(DataVersion0105); // no data row: nothing to read a field of
    }
    for (const TableColumn& column : TableColumns(*sheet)) {
        if (EqualIgnoringAsciiCase(std::u16string_view(column.name),
                                   std::u16string_view(u"URL5"))) {
            return std::u16string(DataVersion0105);
        }
    }
    return std::u16string(DataVersion0104);
}

} // namespace

std::u16string GetDataVersion(UpgradeContext& context, const std::filesystem::path& path) {
    try {
        std::u16string version = VersionFromHeader(path);
        if (!version.empty()) {
            return version;
        }
        Connection connection(path);
        Recordset rs = connection.execute(u"SELECT * FROM " + std::u16string(EntryTable));
        if (!rs.eof()) {
            rs.field(u"URL5");
        }
        rs.close();
        connection.close();
        return std::u16string(DataVersion0105);
    } catch (const WorkbookError& e) {
        if (e.number() == ErrorNumber::ItemNotFound) {
            return std::u16string(DataVersion0104);
        }
        context.reportError(e);
    } catch (const std::exception& e) {
        context.reportError(e);
    }
    return std::u16string(DataVersionUnknown);
}

namespace {

bool RunConversionSteps(UpgradeContext& context) {
    return DeleteTmpSheet(context) && AddConversionSheet(context) && ConvertEntryRows(context) &&
           ReplaceEntrySheet(context);
}

void CloseProgress(UpgradeContext& context) {
    if (context.ui.closeProgress) {
        context.ui.closeProgress();
    }
}

} // namespace

std::int16_t CheckDataVersion(UpgradeContext& context) {
    context.state.ConversionConfirmed = false;
    const int found = CheckBackupAndRecover(context);
    switch (found) {
    case BackupCode::Converted:
    case BackupCode::Current:
    case BackupCode::Nothing:
        return 0;
    case BackupCode::Failed:
        return -1;
    default:
        break;
    }
    if (context.message(u"データバージョンが違います。\r\n\r\nデータコンバートを開始します。\r\n"
                        u"よろしいですか？",
                        MessageStyle::OkCancelExclamation) != AnswerOk) {
        return 0;
    }
    context.state.ConversionConfirmed = true;
    // One writer from the backup to the last step or the backup put back.
    std::optional<DataFileLock> lock;
    try {
        lock.emplace(context.store.DataFilePath);
    } catch (const std::exception& e) {
        context.reportError(e);
        return -1; // nothing written yet: nothing to put back
    }
    if (found == BackupCode::OldWithBackup && !RefreshDataBackup(context)) {
        return -1; // nothing written yet: nothing to put back
    }
    if (RunConversionSteps(context)) {
        context.message(u"終了しました", MessageStyle::Ok);
        CloseProgress(context);
        return 0;
    }
    RestoreDataBackup(context);
    CloseProgress(context);
    return -1;
}

} // namespace tomorine
