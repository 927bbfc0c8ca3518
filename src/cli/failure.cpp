#include "cli/failure.h"

#include "cli/commands.h"

#include <ostream>

namespace tomorine::cli {

std::string OneLine(std::string_view text) {
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            line += ' ';
        } else {
            line += text[i];
        }
    }
    return line;
}

int Fail(std::ostream& err, std::string_view text) {
    err << "tomorine-cli: " << OneLine(text) << '\n' << std::flush;
    return ExitFailure;
}

int Fail(std::ostream& err, const std::exception& error, std::string_view then) {
    std::string text = error.what();
    constexpr std::string_view stop = "。";
    if (!text.empty() && !text.ends_with(stop)) {
        text += stop;
    }
    return Fail(err, text + std::string(then));
}

void Notice(std::ostream& err, std::string_view text) {
    err << text << '\n' << std::flush;
}

} // namespace tomorine::cli
