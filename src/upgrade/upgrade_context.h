#pragma once

#include "store/data_connection.h"
#include "store/message_style.h"
#include "store/workbook/workbook.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tomorine {

// Module-level flags of the version check, conversion and exit re-save.
struct UpgradeState {
    bool conversionConfirmed = false;
    bool conversionCancelRequested = false; // set by the progress window's close
    bool dataChanged = false;               // the editor wrote an entry since start-up
};

// How the engine reaches the user. The main window plugs in its message
// boxes and the progress window; the command line its prompts; tests record.
struct UpgradeUi {
    // Shows `text` with a message-box style; returns AnswerOk or AnswerCancel.
    std::function<int(const std::u16string& text, int style)> messageBox;
    std::function<void()> showProgress;
    std::function<void(int percent)> setProgress;
    std::function<void()> closeProgress;
    // Lets pending window events run (the progress window's close among them).
    std::function<void()> processEvents;
};

// How the engine opens and saves workbooks: the .xls codec, or a test's
// wrapper that fails on purpose.
struct WorkbookIo {
    std::function<Workbook(const std::filesystem::path&)> open;
    std::function<void(const Workbook&, const std::filesystem::path&)> save;
    static WorkbookIo Files();
};

struct UpgradeContext {
    StoreState& store;
    UpgradeState& state;
    UpgradeUi ui;
    WorkbookIo io = WorkbookIo::Files();

    // Asks the user or tells them how the work went; failures are thrown
    // to the caller instead.
    int message(const std::u16string& text, int style) const;

    // One step on the data workbook under its lock: open it, let `job`
    // change it (job returns false when there is nothing to save), save it.
    // A failure throws its WorkbookError; nothing is saved then.
    void workbookStep(const std::function<bool(Workbook&)>& job) const;
};

} // namespace tomorine
