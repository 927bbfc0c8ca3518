// The browser bookmarks import command.
#include "mainwindow/browser_import_dialog.h"
#include "mainwindow/form1.h"
#include "mainwindow/module_state.h"

#include <QPushButton>
#include <cstdlib>

namespace tomorine {

void Form1::Command14_Click() {
    search_.EntrySelected = false;
    refreshDataFilePath();
    Command2->setText(QStringLiteral("登録"));
    ClearEntryForm();
    const char* home = std::getenv("HOME");
    BrowserImportDialog dialog(state_, home ? std::filesystem::path(home) : std::filesystem::path(),
                               this);
    dialog.beforeImport = [this] { search_.releaseRows(); };
    dialog.exec();
}

} // namespace tomorine
