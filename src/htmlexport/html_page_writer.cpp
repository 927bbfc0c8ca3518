#include "htmlexport/html_page_writer.h"

#include "htmlexport/cp932_references.h"
#include "htmlexport/html_blocks.h"
#include "search/field_match.h"
#include "store/files/atomic_file_writer.h"
#include "store/table/recordset.h"

namespace tomorine {

constexpr std::size_t kFlushSize = 64 * 1024;

int WriteHtmlPage(Recordset& rows, const SearchTexts& texts, bool withComments,
                  const std::filesystem::path& outputPath, const HtmlProgress& progress) {
    AtomicFileWriter file(outputPath);
    std::string bytes;
    bytes.reserve(2 * kFlushSize);
    AppendCp932WithReferences(HtmlHeaderBlock(), bytes);

    std::u16string block;
    int written = 0;
    long done = 0;
    const long total = rows.recordCount();
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        if (MatchSearchFields(rows, texts)) {
            block.clear();
            AppendHtmlEntryBlock(ReadHtmlEntryTexts(rows, withComments), withComments, block);
            AppendCp932WithReferences(block, bytes);
            ++written;
            if (bytes.size() >= kFlushSize) {
                file.write(bytes);
                bytes.clear();
            }
        }
        if (progress) {
            progress(++done, total);
        }
    }
    AppendCp932WithReferences(HtmlFooterBlock(), bytes);
    file.write(bytes);
    file.commit();
    return written;
}

} // namespace tomorine
