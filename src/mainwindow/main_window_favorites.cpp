// The Favorites import command.
#include "mainwindow/favorites_import_dialog.h"
#include "mainwindow/main_window.h"

#include <QPushButton>

namespace tomorine {

void MainWindow::openFavoritesImport() {
    search_.entrySelected = false;
    refreshDataFilePath();
    registerButton->setText(QStringLiteral("登録"));
    clearEntryForm();
    favoritesImportDialog->exec();
}

} // namespace tomorine
