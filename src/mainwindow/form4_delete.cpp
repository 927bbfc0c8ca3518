// Deleting the selected dead-link entries.
#include "linkcheck/dead_entry_deletion.h"
#include "linkcheck/link_check_messages.h"
#include "mainwindow/form1.h"
#include "mainwindow/form4.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "mainwindow/qt_text.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStatusBar>
#include <algorithm>

namespace tomorine {

void Form4::Command4_Click() {
    if (form1_.Text6->text().isEmpty()) {
        MessageBox(this, ToQString(LinkCheckMessages::NoFileGiven), MessageStyle::Ok);
        hide();
        return;
    }
    std::vector<int> selected;
    for (int line = 0; line < List1->count(); ++line) {
        if (List1->item(line)->isSelected()) {
            selected.push_back(line);
        }
    }
    if (selected.empty()) {
        MessageBox(this, ToQString(Messages::NoUrl), MessageStyle::Ok);
        return;
    }
    form1_.ResetListCaption();
    std::vector<DeadEntry> entries;
    for (int line : selected) {
        const QListWidgetItem* item = List1->item(line);
        entries.push_back({item->data(SerialRole).toInt(), ToU16(item->data(UrlRole).toString())});
        StatusBar1->showMessage(QStringLiteral("[削除]:(%1):<%2>:%3")
                                    .arg(line + 1)
                                    .arg(entries.back().serial)
                                    .arg(item->text()));
    }
    if (state_.ConnectionOpen) {
        CloseDataConnection(state_);
        state_.ConnectionOpen = false;
    }
    form1_.SaveListPosition();
    std::vector<std::int32_t> removed;
    try {
        removed = DeleteDeadEntries(state_.DataFilePath, entries);
    } catch (const std::exception& e) {
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        refreshMainList();
        return;
    }
    // Taking lines out moves the current line; that is no click.
    const QSignalBlocker quiet(List1);
    for (int line = static_cast<int>(selected.size()) - 1; line >= 0; --line) {
        const std::int32_t serial = entries[static_cast<size_t>(line)].serial;
        if (std::find(removed.begin(), removed.end(), serial) != removed.end()) {
            delete List1->takeItem(selected[static_cast<size_t>(line)]);
        }
    }
    refreshMainList();
    showLineCount();
    StatusBar1->showMessage(ToQString(LinkCheckMessages::Deleted));
    if (removed.size() < entries.size()) {
        MessageBox(
            this,
            QStringLiteral("チェックの後で変更または削除されたデータは削除しませんでした (%1件)")
                .arg(entries.size() - removed.size()),
            MessageStyle::Exclamation);
    }
}

// The main window shows the live entries again, scrolled as before.
void Form4::refreshMainList() {
    try {
        form1_.ClearEntryForm();
        form1_.ListSearchResults();
        form1_.RestoreListTop();
    } catch (const std::exception& e) {
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Ok);
    }
}

} // namespace tomorine
