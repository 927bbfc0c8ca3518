// The link check command.
#include "mainwindow/link_check_dialog.h"
#include "mainwindow/main_window.h"
#include "mainwindow/window_menu.h"

#include <QPushButton>

namespace tomorine {

void MainWindow::openLinkCheck() {
    search_.entrySelected = false;
    refreshDataFilePath();
    registerButton->setText(QStringLiteral("登録"));
    clearEntryForm();
    // Taken off before the window shows: changing a shown window's flags
    // would end its modal display.
    RemoveSystemMenuItem(linkCheckDialog, 5);
    linkCheckDialog->exec();
}

} // namespace tomorine
