#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/entry_options.h"
#include "cli/failure.h"
#include "cli/missing_data_file.h"
#include "store/entry_registration.h"
#include "store/messages.h"

#include <ostream>

namespace tomorine::cli {

int AddCommand(const Invocation& call) {
    const ParsedArgs args = ParseArgs(
        call.args, CommandSyntax{.usage = UsageOf("add"), .valueOptions = FieldOptions()});
    Entry entry;
    ApplyGivenFields(args, entry);
    if (!HasRequiredFields(entry)) {
        return Fail(call.err, Messages::UrlAndTitleRequired);
    }
    const std::filesystem::path dataFile = ResolveDataFile(args);
    ProvideDataFileToAdd(args, dataFile);
    std::int32_t serial = 0;
    try {
        serial = RegisterEntry(dataFile, entry);
    } catch (const std::exception& e) {
        return Fail(call.err, e, Messages::DataError);
    }
    Notice(call.err, Messages::Registered);
    call.out << serial << '\n';
    return ExitOk;
}

} // namespace tomorine::cli
