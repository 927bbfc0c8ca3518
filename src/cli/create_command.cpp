#include "cli/command_reference.h"
#include "cli/commands.h"
#include "store/data_workbook.h"

#include <ostream>

namespace tomorine::cli {

int CreateCommand(const Invocation& call) {
    if (call.args.size() != 1) {
        call.err << UsageOf("create") << '\n';
        return ExitUsage;
    }
    CreateDataWorkbook(call.args[0]);
    return ExitOk;
}

} // namespace tomorine::cli
