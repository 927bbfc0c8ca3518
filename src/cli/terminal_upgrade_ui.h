#pragma once

#include "cli/interrupt_flag.h"
#include "cli/terminal_progress.h"
#include "upgrade/upgrade_context.h"

#include <iosfwd>
#include <optional>

namespace tomorine::cli {

// The version check's message boxes and progress window on a terminal:
// messages on standard error, OK/Cancel questions answered from `in`
// (y, yes or ok; anything else or the end of input is Cancel) or always OK,
// progress as a "\r42 %" line. While the conversion runs, Ctrl-C asks it to
// stop (conversionCancelRequested) instead of ending the program, so the
// engine can put the backup back.
class TerminalUpgradeUi {
public:
    TerminalUpgradeUi(UpgradeState& state, std::istream& in, std::ostream& err, bool answerOk);
    ~TerminalUpgradeUi();
    TerminalUpgradeUi(const TerminalUpgradeUi&) = delete;
    TerminalUpgradeUi& operator=(const TerminalUpgradeUi&) = delete;

    // Callbacks that refer to this object, which must outlive them.
    UpgradeUi callbacks();

private:
    int messageBox(const std::u16string& text, int style);
    int ask();
    void showProgress();
    void setProgress(int percent);
    void closeProgress();
    void takeInterrupt();

    UpgradeState& state_;
    std::istream& in_;
    std::ostream& err_;
    bool answerOk_;
    TerminalProgress progress_;
    std::optional<InterruptFlag> interrupt_; // while the conversion runs
};

} // namespace tomorine::cli
