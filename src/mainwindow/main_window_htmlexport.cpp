// The HTML export dialog command.
#include "mainwindow/html_export_dialog.h"
#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
#include "mainwindow/qt_text.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QPushButton>

namespace tomorine {

void MainWindow::openHtmlExport() {
    search_.entrySelected = false;
    if (!search_.savedSearchUrl) {
        MessageBox(this, ToQString(Messages::NoData), MessageStyle::Ok);
        return;
    }
    // The editor goes back to registering.
    registerButton->setText(QStringLiteral("登録"));
    htmlExportDialog->show();
    htmlExportDialog->raise();
    htmlExportDialog->activateWindow();
}

} // namespace tomorine
