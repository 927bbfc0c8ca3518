// Deleting the selected dead-link entries.
#include "linkcheck/dead_entry_deletion.h"
#include "linkcheck/link_check_messages.h"
#include "mainwindow/link_check_dialog.h"
#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
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
    return static_cast<LinkClass>(item->data(0, LinkCheckDialog::kClassRole).toInt());
}

} // namespace

// Asks before deleting, with the lines counted by class, as 削除 does.
bool LinkCheckDialog::confirmDeletion(const std::vector<int>& selected) {
    QStringList counts;
    for (LinkClass kind : {LinkClass::Gone, LinkClass::Unreachable, LinkClass::Invalid}) {
        const auto count = std::count_if(selected.begin(), selected.end(), [&](int line) {
            return ClassOf(deadLinkList->topLevelItem(line)) == kind;
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

void LinkCheckDialog::deleteSelected() {
    if (mainWindow_.dataFileField->text().isEmpty()) {
        MessageBox(this, ToQString(LinkCheckMessages::NoFileGiven), MessageStyle::Ok);
        hide();
        return;
    }
    std::vector<int> selected;
    for (int line = 0; line < deadLinkList->topLevelItemCount(); ++line) {
        if (deadLinkList->topLevelItem(line)->isSelected()) {
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
    mainWindow_.resetListCaption();
    std::vector<LinkTarget> entries;
    for (int line : selected) {
        const QTreeWidgetItem* item = deadLinkList->topLevelItem(line);
        entries.push_back(checked_.at(item->data(0, Qt::UserRole).toULongLong()));
        statusBar->showMessage(QStringLiteral("[削除]:(%1):<%2>:%3")
                                   .arg(line + 1)
                                   .arg(entries.back().serial)
                                   .arg(item->text(0)));
    }
    mainWindow_.search().releaseRows();
    mainWindow_.saveListPosition();
    std::vector<std::int32_t> removed;
    try {
        removed = DeleteDeadEntries(dataFile_, entries).deleted;
    } catch (const std::exception& e) {
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        refreshMainList();
        return;
    }
    // Taking lines out moves the current line; that is no click.
    const QSignalBlocker quiet(deadLinkList);
    for (int line = static_cast<int>(selected.size()) - 1; line >= 0; --line) {
        const std::int32_t serial = entries[static_cast<size_t>(line)].serial;
        if (std::find(removed.begin(), removed.end(), serial) != removed.end()) {
            delete deadLinkList->takeTopLevelItem(selected[static_cast<size_t>(line)]);
        }
    }
    refreshMainList();
    showLineCount();
    statusBar->showMessage(ToQString(LinkCheckMessages::Deleted));
    if (removed.size() < entries.size()) {
        MessageBox(
            this,
            QStringLiteral("チェックの後で変更または削除されたデータは削除しませんでした (%1件)")
                .arg(entries.size() - removed.size()),
            MessageStyle::Exclamation);
    }
}

// The main window shows the live entries again, scrolled as before.
void LinkCheckDialog::refreshMainList() {
    try {
        mainWindow_.clearEntryForm();
        mainWindow_.listSearchResults();
        mainWindow_.restoreListTop();
    } catch (const std::exception& e) {
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Ok);
    }
}

} // namespace tomorine
