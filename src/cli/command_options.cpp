#include "cli/command_options.h"

#include "store/workbook/utf.h"

#include <algorithm>
#include <limits>

namespace tomorine::cli {

UsageError::UsageError(const std::string& reason, std::string_view usage)
    : std::runtime_error(reason), usage_(usage) {}

const std::string* ParsedArgs::value(std::string_view name) const {
    auto found = values.find(name);
    return found == values.end() ? nullptr : &found->second;
}

namespace {

bool Contains(const std::vector<std::string_view>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Invalid bytes would be stored as U+FFFD without a word; refuse them.
bool IsUtf8(const std::string& text) {
    return ToUtf8(FromUtf8(text)) == text;
}

void TakeValue(ParsedArgs& parsed, const std::string& name, const std::string& value,
               const CommandSyntax& syntax) {
    if (!IsUtf8(value)) {
        throw UsageError(name + " の値が UTF-8 ではありません", syntax.usage);
    }
    if (!parsed.values.emplace(name, value).second) {
        throw UsageError(name + " が二度指定されています", syntax.usage);
    }
}

} // namespace

ParsedArgs ParseArgs(const std::vector<std::string>& args, const CommandSyntax& syntax) {
    ParsedArgs parsed;
    size_t i = 0;
    if (syntax.dataOption && !args.empty() && args[0] == "--data") {
        if (args.size() < 2 || args[1].empty()) {
            throw UsageError("--data にはデータファイルを指定します", syntax.usage);
        }
        parsed.dataFile = args[1];
        i = 2;
    }
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (Contains(syntax.valueOptions, arg)) {
            if (i + 1 == args.size()) {
                throw UsageError(arg + " には値が必要です", syntax.usage);
            }
            TakeValue(parsed, arg, args[++i], syntax);
        } else if (Contains(syntax.flags, arg)) {
            if (!parsed.flags.insert(arg).second) {
                throw UsageError(arg + " が二度指定されています", syntax.usage);
            }
        } else if (arg == "--data" && syntax.dataOption) {
            throw UsageError("--data FILE はコマンド名のすぐ後に置きます", syntax.usage);
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError(arg + " は使えません", syntax.usage);
        } else {
            parsed.operands.push_back(arg);
        }
    }
    const int given = static_cast<int>(parsed.operands.size());
    if (given != syntax.operands && !(syntax.lastOptional && given == syntax.operands - 1)) {
        throw UsageError("引数の数が違います", syntax.usage);
    }
    return parsed;
}

std::int32_t ParseSerial(const std::string& text, const CommandSyntax& syntax) {
    constexpr std::int64_t max = std::numeric_limits<std::int32_t>::max();
    std::int64_t serial = 0;
    bool digits =
        !text.empty() && text.size() <= 10 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits) {
        for (char c : text) {
            serial = serial * 10 + (c - '0');
        }
    }
    if (!digits || serial < 1 || serial > max) {
        throw UsageError("シリアル番号は 1 から " + std::to_string(max) + " までの数です",
                         syntax.usage);
    }
    return static_cast<std::int32_t>(serial);
}

} // namespace tomorine::cli
