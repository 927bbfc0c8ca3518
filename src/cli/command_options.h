#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine::cli {

// A command line that does not fit its command. main prints the reason and
// the command's usage line and exits with ExitUsage; nothing has been read
// or written by then.
class UsageError : public std::runtime_error {
public:
    UsageError(const std::string& reason, std::string_view usage);
    const std::string& usage() const { return usage_; }

private:
    std::string usage_;
};

// What a command accepts after its name.
struct CommandSyntax {
    std::string_view usage = {};                     // the "使い方: ..." line
    std::vector<std::string_view> valueOptions = {}; // each takes the next argument as its value
    std::vector<std::string_view> flags = {};
    int operands = 0;          // plain arguments required, in any place among the options
    bool lastOptional = false; // the last of them may be left out
    bool dataOption = true;    // "--data FILE" may come right after the command name
};

struct ParsedArgs {
    std::optional<std::string> dataFile; // the value of --data
    std::map<std::string, std::string, std::less<>> values;
    std::set<std::string, std::less<>> flags;
    std::vector<std::string> operands;

    bool flag(std::string_view name) const { return flags.contains(name); }
    // Null when the option was not given.
    const std::string* value(std::string_view name) const;
};

// Unknown or repeated options, a missing value, a value that is not UTF-8
// or the wrong number of operands throw UsageError.
ParsedArgs ParseArgs(const std::vector<std::string>& args, const CommandSyntax& syntax);

// An entry's serial as typed: decimal digits only, 1 to 2147483647. Serial 0
// is the dummy row, which no command may reach.
std::int32_t ParseSerial(const std::string& text, const CommandSyntax& syntax);

} // namespace tomorine::cli
