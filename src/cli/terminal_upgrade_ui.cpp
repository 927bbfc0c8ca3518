#include "cli/terminal_upgrade_ui.h"

#include "store/workbook/ascii_case.h"
#include "store/workbook/utf.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <string>

namespace tomorine::cli {

namespace {

std::string TerminalText(const std::u16string& text) {
    std::string utf8 = ToUtf8(text);
    std::erase(utf8, '\r');
    return utf8;
}

bool IsYes(std::string_view answer) {
    constexpr std::string_view kBlanks = " \t\r";
    answer.remove_prefix(std::min(answer.find_first_not_of(kBlanks), answer.size()));
    answer = answer.substr(0, answer.find_last_not_of(kBlanks) + 1);
    const std::string word = AsciiLower(answer);
    return word == "y" || word == "yes" || word == "ok";
}

} // namespace

TerminalUpgradeUi::TerminalUpgradeUi(UpgradeState& state, std::istream& in, std::ostream& err,
                                     bool answerOk)
    : state_(state), in_(in), err_(err), answerOk_(answerOk), progress_(err) {}

TerminalUpgradeUi::~TerminalUpgradeUi() {
    closeProgress();
}

UpgradeUi TerminalUpgradeUi::callbacks() {
    UpgradeUi ui;
    ui.messageBox = [this](const std::u16string& text, int style) {
        return messageBox(text, style);
    };
    ui.showProgress = [this] { showProgress(); };
    ui.setProgress = [this](int percent) { setProgress(percent); };
    ui.closeProgress = [this] { closeProgress(); };
    ui.processEvents = [this] { takeInterrupt(); };
    return ui;
}

int TerminalUpgradeUi::messageBox(const std::u16string& text, int style) {
    progress_.close();
    err_ << TerminalText(text);
    if (style != MessageStyle::OkCancel && style != MessageStyle::OkCancelExclamation) {
        err_ << '\n' << std::flush;
        return AnswerOk;
    }
    if (answerOk_) {
        err_ << " [y/N] y\n" << std::flush;
        return AnswerOk;
    }
    err_ << " [y/N] " << std::flush;
    return ask();
}

int TerminalUpgradeUi::ask() {
    std::string answer;
    if (!std::getline(in_, answer)) {
        err_ << '\n' << std::flush;
        return AnswerCancel;
    }
    return IsYes(answer) ? AnswerOk : AnswerCancel;
}

void TerminalUpgradeUi::showProgress() {
    interrupt_.emplace();
    setProgress(0);
}

void TerminalUpgradeUi::setProgress(int percent) {
    progress_.draw(std::to_string(percent) + " %");
    takeInterrupt();
}

void TerminalUpgradeUi::closeProgress() {
    progress_.close();
    interrupt_.reset();
}

void TerminalUpgradeUi::takeInterrupt() {
    if (interrupt_ && interrupt_->raised()) {
        state_.conversionCancelRequested = true;
    }
}

} // namespace tomorine::cli
