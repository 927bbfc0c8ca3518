#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/entry_command_line.h"
#include "cli/entry_lookup.h"
#include "cli/entry_options.h"
#include "cli/failure.h"
#include "store/data_connection.h"
#include "store/data_file_change.h"
#include "store/messages.h"

#include <ostream>

namespace tomorine::cli {

namespace {

CommandSyntax Syntax() {
    return CommandSyntax{.usage = UsageOf("update"), .valueOptions = FieldOptions(), .operands = 1};
}

enum class Outcome { Updated, NotFound, MissingFields };

// Reads the stored entry and writes it back on one connection under the
// writer lock, so that the texts kept are those of the same file state the
// update is applied to.
Outcome Update(const std::filesystem::path& dataFile, std::int32_t serial, const ParsedArgs& args) {
    Outcome outcome = Outcome::Updated;
    ChangeDataFileByConnection(dataFile, [&](Connection& connection) {
        std::optional<Entry> entry = FindLiveEntry(connection, serial);
        if (!entry) {
            outcome = Outcome::NotFound;
            return;
        }
        ApplyGivenFields(args, *entry);
        if (!HasRequiredFields(*entry)) {
            outcome = Outcome::MissingFields;
            return;
        }
        UpdateEntry(connection, serial, *entry);
    });
    return outcome;
}

} // namespace

int UpdateCommand(const Invocation& call) {
    const EntryCommandLine line = ParseEntryCommandLine(call.args, Syntax());
    Outcome outcome = Outcome::Updated;
    try {
        outcome = Update(line.dataFile, line.serial, line.args);
    } catch (const std::exception& e) {
        return Fail(call.err, e, Messages::DataError);
    }
    switch (outcome) {
    case Outcome::NotFound:
        return Fail(call.err, Messages::NotFound);
    case Outcome::MissingFields:
        return Fail(call.err, Messages::UrlAndTitleRequired);
    case Outcome::Updated:
        break;
    }
    Notice(call.err, Messages::Updated);
    return ExitOk;
}

} // namespace tomorine::cli
