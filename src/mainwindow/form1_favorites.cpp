// The Favorites import command.
#include "mainwindow/form1.h"
#include "mainwindow/form5.h"
#include "mainwindow/module_state.h"

#include <QPushButton>

namespace tomorine {

void Form1::Command13_Click() {
    search_.EntrySelected = false;
    refreshDataFilePath();
    Command2->setText(QStringLiteral("登録"));
    ClearEntryForm();
    form5->exec();
}

} // namespace tomorine
