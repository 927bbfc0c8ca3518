#include "cli/failure.h"

#include "cli/commands.h"

#include <ostream>

namespace tomorine::cli {

std::string OneLine(std::string_view text) {
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool lineBreak = text[i] == '\r' || text[i] == '\n';
        i += text.substr(i).starts_with("\r\n") ? 1 : 0;
        line += lineBreak ? ' ' : text[i];
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
