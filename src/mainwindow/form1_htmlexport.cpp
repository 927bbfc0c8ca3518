// The HTML export dialog command.
#include "mainwindow/form1.h"
#include "mainwindow/form2.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "mainwindow/qt_text.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QPushButton>

namespace tomorine {

void Form1::Command7_Click() {
    search_.EntrySelected = false;
    if (!search_.SavedSearchUrl) {
        MessageBox(this, ToQString(Messages::NoData), MessageStyle::Ok);
        return;
    }
    // The editor goes back to registering.
    Command2->setText(QStringLiteral("登録"));
    form2->show();
    form2->raise();
    form2->activateWindow();
}

} // namespace tomorine
