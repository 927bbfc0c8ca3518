#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tomorine::cli {

// What a command gets: its arguments after the command name, and the
// streams to use. Returns the exit status: 0 done, 1 failed, 2 usage.
struct Invocation {
    std::vector<std::string> args;
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
};

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

int DumpCommand(const Invocation& call);
int CreateCommand(const Invocation& call);
int SearchCommand(const Invocation& call);
int ShowCommand(const Invocation& call);
int AddCommand(const Invocation& call);
int UpdateCommand(const Invocation& call);
int DeleteCommand(const Invocation& call);
int CheckVersionCommand(const Invocation& call);
int CompactCommand(const Invocation& call);
int ExportHtmlCommand(const Invocation& call);
int HelpCommand(const Invocation& call);
int KeywordsCommand(const Invocation& call);
int ImportFavoritesCommand(const Invocation& call);
int MergeCommand(const Invocation& call);
int CheckLinksCommand(const Invocation& call);
int CaptureCommand(const Invocation& call);
int ImportBookmarksCommand(const Invocation& call);
int ExportBookmarksCommand(const Invocation& call);
int ConflictsCommand(const Invocation& call);

using CommandFunction = int (*)(const Invocation&);

// The commands main runs, by name; each has its entry in CommandReferences().
const std::map<std::string_view, CommandFunction>& DispatchedCommands();

} // namespace tomorine::cli
