// The merge dialog command.
#include "mainwindow/main_window.h"
#include "mainwindow/merge_dialog.h"

#include <QLineEdit>
#include <QPushButton>

namespace tomorine {

void MainWindow::openMerge() {
    search_.entrySelected = false;
    clearEntryForm();
    resetListCaption();
    refreshDataFilePath();
    registerButton->setText(QStringLiteral("登録"));
    // A dialog unloaded by a failed merge is made anew, with the stored path.
    if (!mergeDialog || mergeDialog->isUnloaded()) {
        mergeDialog = new MergeDialog(settings_.referFile, store_, upgrade_, *this);
        mergeDialog->pathField->setText(QString::fromStdString(settings_.referFile));
    }
    mergeDialog->show();
    mergeDialog->raise();
    mergeDialog->activateWindow();
}

} // namespace tomorine
