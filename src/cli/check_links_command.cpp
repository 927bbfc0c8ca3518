#include "cli/command_options.h"
#include "cli/command_reference.h"
#include "cli/commands.h"
#include "cli/data_file.h"
#include "cli/failure.h"
#include "cli/interrupt_flag.h"
#include "cli/json_writer.h"
#include "cli/terminal_progress.h"
#include "linkcheck/dead_entry_deletion.h"
#include "linkcheck/link_check.h"
#include "linkcheck/link_check_messages.h"
#include "linkcheck/link_targets.h"
#include "search/result_lines.h"
#include "store/messages.h"
#include "store/workbook/utf.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace tomorine::cli {

namespace {

struct DeadLine {
    const LinkTarget* target;
    LinkVerdict verdict;
};

struct CheckResult {
    std::vector<DeadLine> dead;
    bool networkDown = false;
};

// "[########------------]  412/1000  リンク切れ 7  23.5 件/秒".
std::string ProgressText(const LinkCheckProgress& progress, std::chrono::duration<double> elapsed) {
    char numbers[96];
    const double seconds = elapsed.count();
    const double rate = seconds > 0 ? static_cast<double>(progress.decided) / seconds : 0.0;
    std::snprintf(numbers, sizeof numbers, " %zu/%zu  リンク切れ %zu  %.1f 件/秒", progress.decided,
                  progress.total, progress.dead, rate);
    return ProgressBar(progress.decided, progress.total, 30) + numbers;
}

// Runs the check to its end; false when Ctrl-C stopped it first.
bool RunCheck(const std::vector<LinkTarget>& targets, std::ostream& err, CheckResult& result) {
    InterruptFlag interrupt;
    TerminalProgress bar(err, &err == &std::cerr && isatty(STDERR_FILENO));
    const auto start = std::chrono::steady_clock::now();
    auto last = start;
    LinkCheck check(UrlsOf(targets));
    for (;;) {
        if (interrupt.raised()) {
            check.stop();
            return false;
        }
        const LinkCheckProgress progress = check.progress();
        for (RowVerdict& row : check.takeReleased()) {
            if (row.verdict.listed()) {
                result.dead.push_back({&targets[row.row], std::move(row.verdict)});
            }
        }
        // At most ten redraws a second.
        const auto now = std::chrono::steady_clock::now();
        if (!bar.drawn() || progress.finished || now - last >= std::chrono::milliseconds(100)) {
            bar.draw(ProgressText(progress, now - start));
            last = now;
        }
        if (progress.finished) {
            if (!progress.error.empty()) {
                throw std::runtime_error(progress.error);
            }
            result.networkDown = NetworkDown(progress);
            return true;
        }
        check.waitForChange(std::chrono::milliseconds(100));
    }
}

// The gone entries, and with `unreachableToo` the unreachable and invalid ones.
std::vector<LinkTarget> EntriesToDelete(const std::vector<DeadLine>& dead, bool unreachableToo) {
    std::vector<LinkTarget> entries;
    for (const DeadLine& line : dead) {
        if (line.verdict.linkClass == LinkClass::Gone || unreachableToo) {
            entries.push_back(*line.target);
        }
    }
    return entries;
}

void WriteDeadJson(std::ostream& out, const CheckResult& result,
                   const DeadEntryDeletion& deletion) {
    out << "{\"network\": \"" << (result.networkDown ? "down" : "ok") << "\", \"dead\": [";
    for (size_t i = 0; i < result.dead.size(); ++i) {
        const DeadLine& line = result.dead[i];
        out << (i ? ", " : "") << "{\"serial\": " << line.target->serial << ", \"url\": ";
        WriteJsonString(out, line.target->url);
        out << ", \"title\": ";
        WriteJsonString(out, line.target->title);
        out << ", \"class\": \"" << ClassName(line.verdict.linkClass) << "\", \"reason\": \""
            << ReasonName(line.verdict.reason) << "\", \"message\": ";
        WriteJsonString(out, FromUtf8(line.verdict.message));
        out << '}';
    }
    out << "], \"deleted\": ";
    WriteJsonSerials(out, deletion.deleted);
    out << ", \"changed\": ";
    WriteJsonSerials(out, deletion.changed);
    out << "}\n";
}

std::string LineOf(const LinkTarget& target) {
    return ToUtf8(ResultLine(target.serial, target.title));
}

void WriteDeadLines(std::ostream& out, const std::vector<DeadLine>& dead) {
    for (const DeadLine& line : dead) {
        out << LineOf(*line.target) << '\t' << line.verdict.message << '\n';
    }
}

void ReportDeletion(std::ostream& err, const std::vector<DeadLine>& dead,
                    const DeadEntryDeletion& deletion) {
    Notice(err, std::string(LinkCheckMessages::Deleted) + ": " +
                    std::to_string(deletion.deleted.size()) + "件");
    for (std::int32_t serial : deletion.changed) {
        const auto line = std::find_if(dead.begin(), dead.end(), [&](const DeadLine& l) {
            return l.target->serial == serial;
        });
        Notice(err, std::string(LinkCheckMessages::LeftChanged) + ": " + LineOf(*line->target));
    }
}

} // namespace

int CheckLinksCommand(const Invocation& call) {
    const CommandSyntax syntax{.usage = UsageOf("check-links"),
                               .flags = {"--json", "--delete", "--delete-unreachable"}};
    ParsedArgs args = ParseArgs(call.args, syntax);
    const std::filesystem::path dataFile = ExistingDataFile(args);
    std::vector<LinkTarget> targets;
    try {
        targets = ReadLinkTargets(dataFile);
    } catch (const std::exception& e) {
        return Fail(call.err, e, Messages::KeyError);
    }
    if (targets.empty()) {
        Notice(call.err, Messages::NotFound);
    }
    CheckResult result;
    if (!RunCheck(targets, call.err, result)) {
        return Fail(call.err, LinkCheckMessages::Stopped);
    }
    const bool unreachableToo = args.flag("--delete-unreachable");
    const bool deleting = args.flag("--delete") || unreachableToo;
    DeadEntryDeletion deletion;
    if (deleting && !result.networkDown) {
        const std::vector<LinkTarget> entries = EntriesToDelete(result.dead, unreachableToo);
        if (!entries.empty()) {
            deletion = DeleteDeadEntries(dataFile, entries);
        }
    }
    std::ostringstream text;
    if (args.flag("--json")) {
        WriteDeadJson(text, result, deletion);
    } else {
        WriteDeadLines(text, result.dead);
    }
    call.out << text.str();
    Notice(call.err, LinkCheckMessages::LineCountCaption(result.dead.size()));
    if (result.networkDown) {
        Notice(call.err, std::string(LinkCheckMessages::NetworkDown) + " (network down)");
    }
    Notice(call.err, LinkCheckMessages::Finished);
    if (deleting && result.networkDown) {
        return Fail(call.err,
                    std::string(LinkCheckMessages::NothingDeletedOffline) + " (network down)");
    }
    if (deleting) {
        ReportDeletion(call.err, result.dead, deletion);
    }
    return ExitOk;
}

} // namespace tomorine::cli
