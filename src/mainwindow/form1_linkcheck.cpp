// The link check command.
#include "mainwindow/form1.h"
#include "mainwindow/form4.h"
#include "mainwindow/module_state.h"
#include "mainwindow/window_menu.h"

#include <QPushButton>

namespace tomorine {

void Form1::Command12_Click() {
    search_.EntrySelected = false;
    refreshDataFilePath();
    Command2->setText(QStringLiteral("登録"));
    ClearEntryForm();
    // Taken off before the window shows: changing a shown window's flags
    // would end its modal display.
    RemoveSystemMenuItem(form4, 5);
    form4->exec();
}

} // namespace tomorine
