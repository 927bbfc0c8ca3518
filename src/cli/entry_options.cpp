#include "cli/entry_options.h"

#include "store/workbook/utf.h"

namespace tomorine::cli {

const std::vector<std::string_view>& FieldOptions() {
    static const std::vector<std::string_view> options = {"--url", "--title", "--subtitle",
                                                          "--keywords", "--comment"};
    return options;
}

namespace {

std::u16string Given(const ParsedArgs& args, std::string_view option) {
    const std::string* value = args.value(option);
    return value ? FromUtf8(*value) : std::u16string();
}

// Comments keep their line breaks as CR LF, as the main window and the
// workbooks written on Windows store them.
std::u16string CommentText(std::u16string text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) {
            out += u'\r';
        }
        out += text[i];
    }
    return out;
}

} // namespace

SearchTexts SearchTextsOf(const ParsedArgs& args) {
    return SearchTexts{Given(args, "--url"), Given(args, "--title"), Given(args, "--subtitle"),
                       Given(args, "--keywords"), Given(args, "--comment")};
}

void ApplyGivenFields(const ParsedArgs& args, Entry& entry) {
    std::u16string* fields[] = {&entry.url, &entry.title, &entry.subtitle, &entry.keywords,
                                &entry.comment};
    for (size_t i = 0; i < FieldOptions().size(); ++i) {
        if (args.value(FieldOptions()[i])) {
            *fields[i] = Given(args, FieldOptions()[i]);
        }
    }
    if (args.value("--comment")) {
        entry.comment = CommentText(std::move(entry.comment));
    }
}

bool HasRequiredFields(const Entry& entry) {
    return !entry.url.empty() && !entry.title.empty();
}

} // namespace tomorine::cli
