#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/failure.h"
#include "cli/interrupt_flag.h"
#include "cli/json_writer.h"
#include "cli/link_check_progress_bar.h"
#include "linkcheck/dead_entry_deletion.h"
#include "linkcheck/link_check.h"
#include "linkcheck/link_check_messages.h"
#include "linkcheck/link_targets.h"
#include "search/result_lines.h"
#include "store/files/whole_file.h"
#include "store/messages.h"
#include "store/table/connection.h"
#include "store/workbook/utf.h"
#include "store/workbook/workbook_error.h"

#include <iostream>
#include <sstream>
#include <unistd.h>

namespace tomorine::cli {

namespace {

struct DeadLine {
    const LinkTarget* target;
    std::string reason;
};

std::vector<LinkTarget> ReadTargets(const std::filesystem::path& dataFile) {
    Connection connection(Connection::ConnectionString(dataFile));
    Recordset rows = connection.execute(LiveEntriesStatement);
    std::vector<LinkTarget> targets = ReadLinkTargets(rows);
    connection.close();
    return targets;
}

// Runs the check to its end; false when Ctrl-C stopped it first.
bool RunCheck(const std::vector<LinkTarget>& targets, std::ostream& err,
              std::vector<DeadLine>& dead) {
    InterruptFlag interrupt;
    LinkCheckProgressBar bar(err, &err == &std::cerr && isatty(STDERR_FILENO));
    LinkCheck check(UrlsOf(targets));
    for (;;) {
        if (interrupt.raised()) {
            check.stop();
            return false;
        }
        const LinkCheckProgress progress = check.progress();
        for (const RowVerdict& row : check.takeReleased()) {
            if (row.verdict.dead) {
                dead.push_back({&targets[row.row], row.verdict.reason});
            }
        }
        bar.update(progress);
        if (progress.finished) {
            if (!progress.error.empty()) {
                throw std::runtime_error(progress.error);
            }
            return true;
        }
        check.waitForChange(std::chrono::milliseconds(100));
    }
}

void WriteDeadJson(std::ostream& out, const std::vector<DeadLine>& dead) {
    out << "{\"dead\": [";
    for (size_t i = 0; i < dead.size(); ++i) {
        out << (i ? ", " : "") << "{\"serial\": " << dead[i].target->serial << ", \"url\": ";
        WriteJsonString(out, dead[i].target->url);
        out << ", \"title\": ";
        WriteJsonString(out, dead[i].target->title);
        out << ", \"reason\": ";
        WriteJsonString(out, FromUtf8(dead[i].reason));
        out << '}';
    }
    out << "]}\n";
}

void WriteDeadLines(std::ostream& out, const std::vector<DeadLine>& dead) {
    for (const DeadLine& line : dead) {
        out << ToUtf8(ResultLine(line.target->serial, line.target->title)) << '\n';
    }
}

} // namespace

int CheckLinksCommand(const Invocation& call) {
    const CommandSyntax syntax{
        .usage = "使い方: tomorine-cli check-links [--data FILE] [--json] [--delete]",
        .flags = {"--json", "--delete"}};
    ParsedArgs args = ParseArgs(call.args, syntax);
    const std::filesystem::path dataFile = ResolveDataFile(args);
    if (!IsRegularFile(dataFile)) {
        return Fail(call.err, std::string(Messages::NoDataFile) + ": " + QuotedPath(dataFile));
    }
    std::vector<LinkTarget> targets;
    try {
        targets = ReadTargets(dataFile);
    } catch (const std::exception& e) {
        return Fail(call.err, e, Messages::KeyError);
    }
    if (targets.empty()) {
        Notice(call.err, Messages::NotFound);
    }
    std::vector<DeadLine> dead;
    if (!RunCheck(targets, call.err, dead)) {
        return Fail(call.err, LinkCheckMessages::Stopped);
    }
    if (args.flag("--delete") && !dead.empty()) {
        std::vector<DeadEntry> entries;
        for (const DeadLine& line : dead) {
            entries.push_back({line.target->serial, line.target->url});
        }
        try {
            DeleteDeadEntries(dataFile, entries);
        } catch (const std::exception& e) {
            return Fail(call.err, e.what());
        }
    }
    std::ostringstream text;
    if (args.flag("--json")) {
        WriteDeadJson(text, dead);
    } else {
        WriteDeadLines(text, dead);
    }
    call.out << text.str();
    Notice(call.err, LinkCheckMessages::LineCountCaption(dead.size()));
    Notice(call.err, LinkCheckMessages::Finished);
    if (args.flag("--delete") && !dead.empty()) {
        Notice(call.err, LinkCheckMessages::Deleted);
    }
    return ExitOk;
}

} // namespace tomorine::cli
