#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace tomorine::cli {

int HelpCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = UsageOf("help"), .operands = 1, .dataOption = false};
    const ParsedArgs args = ParseArgs(call.args, syntax);
    const CommandReference* command = FindCommandReference(args.operands[0]);
    if (command == nullptr) {
        throw UsageError(args.operands[0] + " というコマンドはありません", syntax.usage);
    }
    call.out << UsageOf(command->name) << '\n' << command->summary.ja << '\n';
    std::vector<std::string> terms;
    std::size_t width = 0;
    for (const Argument& argument : command->arguments) {
        terms.push_back(std::string(argument.name) + (argument.value.empty() ? "" : " ") +
                        std::string(argument.value));
        width = std::max(width, terms.back().size());
    }
    for (std::size_t i = 0; i < terms.size(); ++i) {
        call.out << "  " << terms[i] << std::string(width - terms[i].size() + 2, ' ')
                 << command->arguments[i].text.ja << '\n';
    }
    call.out << command->files.ja << '\n';
    if (!command->exit.ja.empty()) {
        call.out << "終了ステータス: " << command->exit.ja << '\n';
    }
    return ExitOk;
}

} // namespace tomorine::cli
