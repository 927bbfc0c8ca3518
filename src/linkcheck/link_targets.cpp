#include "linkcheck/link_targets.h"

#include "store/entry.h"
#include "store/live_entries.h"
#include "store/table/recordset.h"
#include "store/workbook/utf.h"

namespace tomorine {

std::vector<LinkTarget> ReadLinkTargets(Recordset& rows) {
    std::vector<LinkTarget> targets;
    targets.reserve(static_cast<std::size_t>(rows.recordCount()));
    if (rows.bof() && rows.eof()) {
        return targets;
    }
    const std::vector<std::u16string>& columns = EntryColumnNames();
    std::vector<int> fields;
    for (const std::u16string& column : columns) {
        fields.push_back(rows.fieldIndex(column));
    }
    rows.moveFirst();
    for (long position = 0; !rows.eof(); ++position, rows.moveNext()) {
        LinkTarget target{position,
                          CellToInt32(rows.field(SerialColumn)),
                          JoinField(rows, FieldGroup::Title),
                          JoinField(rows, FieldGroup::Url),
                          {}};
        target.cells.reserve(fields.size());
        for (int field : fields) {
            target.cells.push_back(rows.field(field));
        }
        targets.push_back(std::move(target));
    }
    return targets;
}

std::vector<LinkTarget> ReadLinkTargets(const std::filesystem::path& dataFile) {
    Recordset rows = LiveEntries(dataFile);
    return ReadLinkTargets(rows);
}

std::vector<std::string> UrlsOf(const std::vector<LinkTarget>& targets) {
    std::vector<std::string> urls;
    urls.reserve(targets.size());
    for (const LinkTarget& target : targets) {
        urls.push_back(ToUtf8(target.url));
    }
    return urls;
}

std::u16string StartStatusText(const LinkTarget& target) {
    return u"[開始]:[" + FromUtf8(std::to_string(target.position)) + u"]:<" +
           FromUtf8(std::to_string(target.serial)) + u">:" + target.title;
}

} // namespace tomorine
