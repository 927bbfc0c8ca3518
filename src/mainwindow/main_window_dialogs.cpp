// The commands that open a dialog.
#include "mainwindow/browser_import_dialog.h"
#include "mainwindow/favorites_import_dialog.h"
#include "mainwindow/html_export_dialog.h"
#include "mainwindow/link_check_dialog.h"
#include "mainwindow/main_window.h"
#include "mainwindow/merge_dialog.h"
#include "mainwindow/message_box.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/window_menu.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>

namespace tomorine {

// Before a dialog that works on the whole data file: the editor is emptied
// and goes back to registering.
void MainWindow::leaveEntry() {
    search_.entrySelected = false;
    refreshDataFilePath();
    registerButton->setText(QStringLiteral("登録"));
    clearEntryForm();
}

void MainWindow::openHtmlExport() {
    search_.entrySelected = false;
    if (!search_.savedSearchUrl) {
        MessageBox(this, ToQString(Messages::NoData), MessageStyle::Ok);
        return;
    }
    registerButton->setText(QStringLiteral("登録"));
    htmlExportDialog->show();
    htmlExportDialog->raise();
    htmlExportDialog->activateWindow();
}

void MainWindow::openMerge() {
    leaveEntry();
    resetListCaption();
    // A dialog unloaded by a failed merge is made anew, with the stored path.
    if (!mergeDialog || mergeDialog->isUnloaded()) {
        mergeDialog = new MergeDialog(settings_.referFile, store_, upgrade_, *this);
        mergeDialog->pathField->setText(QString::fromStdString(settings_.referFile));
    }
    mergeDialog->show();
    mergeDialog->raise();
    mergeDialog->activateWindow();
}

void MainWindow::openLinkCheck() {
    leaveEntry();
    // Taken off before the window shows: changing a shown window's flags
    // would end its modal display.
    RemoveSystemMenuItem(linkCheckDialog, 5);
    linkCheckDialog->exec();
}

void MainWindow::openFavoritesImport() {
    leaveEntry();
    favoritesImportDialog->exec();
}

void MainWindow::openBrowserImport() {
    leaveEntry();
    const char* home = std::getenv("HOME");
    BrowserImportDialog dialog(store_, home ? std::filesystem::path(home) : std::filesystem::path(),
                               this);
    dialog.beforeImport = [this] { search_.releaseRows(); };
    dialog.exec();
}

} // namespace tomorine
