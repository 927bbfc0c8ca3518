// The browser bookmarks import command.
#include "mainwindow/browser_import_dialog.h"
#include "mainwindow/main_window.h"

#include <QPushButton>
#include <cstdlib>

namespace tomorine {

void MainWindow::openBrowserImport() {
    search_.entrySelected = false;
    refreshDataFilePath();
    registerButton->setText(QStringLiteral("登録"));
    clearEntryForm();
    const char* home = std::getenv("HOME");
    BrowserImportDialog dialog(store_, home ? std::filesystem::path(home) : std::filesystem::path(),
                               this);
    dialog.beforeImport = [this] { search_.releaseRows(); };
    dialog.exec();
}

} // namespace tomorine
