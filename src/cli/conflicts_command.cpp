#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/failure.h"
#include "cli/json_writer.h"
#include "merge/conflict_copies.h"
#include "merge/conflict_merge.h"
#include "store/workbook/utf.h"

#include <algorithm>
#include <ostream>
#include <sstream>

namespace tomorine::cli {

namespace {

namespace fs = std::filesystem;

void WriteCopiesJson(std::ostream& out, const std::vector<ConflictCopy>& copies) {
    out << "{\"copies\": [";
    for (size_t i = 0; i < copies.size(); ++i) {
        const ConflictCopy& copy = copies[i];
        out << (i == 0 ? "" : ", ") << "{\"file\": ";
        WriteJsonString(out, FromUtf8(copy.file.filename().string()));
        out << ", \"entries\": " << copy.entries << ", \"new\": " << copy.newEntries
            << ", \"error\": ";
        if (copy.problem == CopyProblem::None) {
            out << "null";
        } else {
            WriteJsonString(out, FromUtf8(OneLine(copy.reason)));
        }
        out << '}';
    }
    out << "]}\n";
}

void WriteCopiesText(std::ostream& out, const std::vector<ConflictCopy>& copies) {
    for (const ConflictCopy& copy : copies) {
        out << copy.file.filename().string() << '\t';
        if (copy.problem == CopyProblem::None) {
            out << "エントリー " << copy.entries << " 件、追加されるもの " << copy.newEntries
                << " 件\n";
        } else {
            out << "マージできません: " << OneLine(copy.reason) << '\n';
        }
    }
}

int ListCopies(const Invocation& call, const fs::path& dataFile, const std::vector<fs::path>& found,
               bool json) {
    const std::vector<ConflictCopy> copies = InspectConflictCopies(dataFile, found);
    std::ostringstream text;
    json ? WriteCopiesJson(text, copies) : WriteCopiesText(text, copies);
    call.out << text.str();
    const auto failed = [](const ConflictCopy& copy) { return copy.problem != CopyProblem::None; };
    return std::any_of(copies.begin(), copies.end(), failed) ? ExitFailure : ExitOk;
}

int MergeCopies(const Invocation& call, const fs::path& dataFile,
                const std::vector<fs::path>& found) {
    StoreState store;
    store.dataFilePath = dataFile;
    UpgradeState state;
    UpgradeContext context{store, state, {}};
    int status = ExitOk;
    for (const MergedCopy& merged : MergeConflictCopies(context, found)) {
        const std::string name = merged.file.filename().string();
        if (!merged.movedTo.empty()) {
            call.out << name << '\t' << merged.added << " 件を追加し、"
                     << merged.movedTo.lexically_relative(dataFile.parent_path()).string()
                     << " に移しました\n";
        }
        if (!merged.error.empty()) {
            Fail(call.err, name + ": " + merged.error);
            status = ExitFailure;
        }
    }
    return status;
}

} // namespace

// Conflict copies that sync tools left beside the data file: listed with
// what each would add, or merged and put aside in conflicts/.
int ConflictsCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = UsageOf("conflicts"), .flags = {"--json", "--merge"}};
    ParsedArgs args = ParseArgs(call.args, syntax);
    if (args.flag("--json") && args.flag("--merge")) {
        throw UsageError("--json と --merge は一緒に使えません", syntax.usage);
    }
    const fs::path dataFile = ExistingDataFile(args);
    const std::vector<fs::path> found = FindConflictCopies(dataFile);
    if (found.empty() && !args.flag("--json")) {
        Notice(call.err, "競合コピーはありません");
        return ExitOk;
    }
    return args.flag("--merge") ? MergeCopies(call, dataFile, found)
                                : ListCopies(call, dataFile, found, args.flag("--json"));
}

} // namespace tomorine::cli
