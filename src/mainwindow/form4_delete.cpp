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
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTreeWidget>
#include <algorithm>

namespace tomorine {

namespace {

LinkClass ClassOf(const QTreeWidgetItem* item) {
    return static_cast<LinkClass>(item->data(0, Form4::ClassRole).toInt());
}

} // namespace

// Asks before deleting, with the lines counted by class, as 削除 does.
bool Form4::confirmDeletion(const std::vector<int>& selected) {
    QStringList counts;
    for (LinkClass kind : {LinkClass::Gone, LinkClass::Unreachable, LinkClass::Invalid}) {
        const auto count = std::count_if(selected.begin(), selected.end(), [&](int line) {
            return ClassOf(List1->topLevelItem(line)) == kind;
        });
        if (count > 0) {
            counts
                << QStringLiteral("%1 %2件").arg(QString::fromUtf8(ClassCaption(kind))).arg(count);
        }
    }
    const QString question = ToQString(LinkCheckMessages::DeleteQuestion(selected.size())) +
                             QStringLiteral("\n(") + counts.join(QStringLiteral("、")) +
                             QStringLiteral(")");
    return MessageBox(this, question, MessageStyle::OkCancel) == AnswerOk;
}

void Form4::Command4_Click() {
    if (form1_.Text6->text().isEmpty()) {
        MessageBox(this, ToQString(LinkCheckMessages::NoFileGiven), MessageStyle::Ok);
        hide();
        return;
    }
    std::vector<int> selected;
    for (int line = 0; line < List1->topLevelItemCount(); ++line) {
        if (List1->topLevelItem(line)->isSelected()) {
            selected.push_back(line);
        }
    }
    if (selected.empty()) {
        MessageBox(this, ToQString(Messages::NoUrl), MessageStyle::Ok);
        return;
    }
    // Without any answer nothing was proven dead.
    if (networkDown_) {
        MessageBox(this, ToQString(LinkCheckMessages::NothingDeletedOffline),
                   MessageStyle::Exclamation);
        return;
    }
    if (!confirmDeletion(selected)) {
        return;
    }
    form1_.ResetListCaption();
    std::vector<LinkTarget> entries;
    for (int line : selected) {
        const QTreeWidgetItem* item = List1->topLevelItem(line);
        entries.push_back(checked_.at(item->data(0, Qt::UserRole).toULongLong()));
        StatusBar1->showMessage(QStringLiteral("[削除]:(%1):<%2>:%3")
                                    .arg(line + 1)
                                    .arg(entries.back().serial)
                                    .arg(item->text(0)));
    }
    form1_.search().releaseRows();
    form1_.SaveListPosition();
    std::vector<std::int32_t> removed;
    try {
        removed = DeleteDeadEntries(state_.DataFilePath, entries).deleted;
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
            delete List1->takeTopLevelItem(selected[static_cast<size_t>(line)]);
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
