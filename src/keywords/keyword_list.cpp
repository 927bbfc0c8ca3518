#include "keywords/keyword_list.h"

#include "keywords/keyword_sheet.h"
#include "keywords/keyword_words.h"
#include "store/entry.h"
#include "store/live_entries.h"
#include "store/workbook/utf.h"
#include "store/xls/xls_file.h"

#include <algorithm>
#include <map>

namespace tomorine {

std::vector<KeywordLine> CollectKeywords(std::shared_ptr<const Workbook> book,
                                         const std::filesystem::path& file) {
    std::map<std::string, std::u16string> sorted; // by UTF-8 bytes
    for (Recordset entries = LiveEntries(std::move(book), file); !entries.eof();
         entries.moveNext()) {
        for (std::u16string& word : KeywordWords(JoinField(entries, FieldGroup::Keywords))) {
            std::string bytes;
            AssignUtf8(bytes, word);
            sorted.try_emplace(std::move(bytes), std::move(word));
        }
    }
    std::vector<KeywordLine> lines;
    lines.reserve(sorted.size());
    for (auto& [bytes, word] : sorted) {
        lines.push_back(KeywordLine{std::move(word), static_cast<long>(lines.size())});
    }
    return lines;
}

std::vector<KeywordLine> ListKeywords(const std::filesystem::path& dataFile) {
    auto book = std::make_shared<const Workbook>(ReadXlsFile(dataFile));
    if (book->findSheet(KeywordSheetName) != nullptr) {
        DeleteKeywordSheet(dataFile);
    }
    return CollectKeywords(std::move(book), dataFile);
}

} // namespace tomorine
