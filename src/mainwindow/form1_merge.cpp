// The merge dialog command.
#include "mainwindow/form1.h"
#include "mainwindow/form3.h"
#include "mainwindow/module_state.h"

#include <QLineEdit>
#include <QPushButton>

namespace tomorine {

void Form1::Command10_Click() {
    search_.EntrySelected = false;
    ClearEntryForm();
    ResetListCaption();
    refreshDataFilePath();
    Command2->setText(QStringLiteral("登録"));
    // A dialog unloaded by a failed merge is made anew, with the stored path.
    if (!form3 || form3->isUnloaded()) {
        form3 = new Form3(state_, *this);
        form3->Text1->setText(QString::fromStdString(state_.ReferFilePath));
    }
    form3->show();
    form3->raise();
    form3->activateWindow();
}

} // namespace tomorine
