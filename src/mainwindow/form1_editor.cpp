// The entry editor: register or update, list selection, clear, display.
#include "mainwindow/form1.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/url_open_seam.h"
#include "store/data_connection.h"
#include "store/entry_registration.h"
#include "store/entry_statements.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tomorine {

namespace {

UrlOpenSeam& UrlOpener() {
    static UrlOpenSeam seam;
    return seam;
}

const QString kRegister = QStringLiteral("登録");
const QString kUpdate = QStringLiteral("更新");

} // namespace

void Form1::SetOpenUrl(std::function<bool(const QUrl&)> open) {
    UrlOpener().set(std::move(open));
}

void Form1::Command2_Click() {
    search_.EntrySelected = false;
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) {
        MessageBox(this, ToQString(Messages::UrlAndTitleRequired), MessageStyle::Ok);
        (Text1->text().isEmpty() ? Text1 : Text2)->setFocus();
        return;
    }
    try {
        ResetListCaption();
        search_.releaseRows();
        refreshDataFilePath();
        Entry entry{0,
                    ToU16(Text1->text()),
                    ToU16(Text2->text()),
                    ToU16(Text3->text()),
                    ToU16(Text4->text()),
                    commentText()};
        bool registering = Command2->text() == kRegister;
        int changed = 0;
        SaveListPosition();
        if (registering) {
            state_.CurrentSerial = RegisterEntry(state_.DataFilePath, entry);
        } else {
            changed = ExecuteOnDataFile(state_.DataFilePath,
                                        BuildUpdateStatement(state_.CurrentSerial, entry));
        }
        state_.DataChanged = true;
        if (registering) {
            MessageBox(this, ToQString(Messages::Registered), MessageStyle::Ok);
            FindEntryByUrl();
            if (search_.HitCount >= 1) {
                selectListIndex(0);
            }
        } else {
            ClearEntryForm();
            ListSearchResults();
            RestoreListPosition();
            // An entry deleted meanwhile cannot be updated: say so, not "done".
            if (changed == 0) {
                MessageBox(this, QStringLiteral("更新するデータがデータファイルにありません"),
                           MessageStyle::Exclamation);
            } else {
                MessageBox(this, ToQString(Messages::Updated), MessageStyle::Ok);
            }
        }
    } catch (const std::exception& e) {
        showError(e, ToQString(Messages::DataError));
    }
}

void Form1::List1_Click() {
    search_.EntrySelected = true;
    if (List1->count() == 0 || List1->currentItem() == nullptr) {
        return;
    }
    // Only an entry shown in the fields may be updated: a keyword, or a line
    // whose search is gone, leaves the editor registering.
    if (state_.KeywordListMode) {
        Text4->setText(List1->currentItem()->text());
        return;
    }
    if (loadSelectedEntry(List1->currentItem()->data(Qt::UserRole).toLongLong())) {
        Command2->setText(kUpdate);
    }
}

bool Form1::loadSelectedEntry(long position) {
    if (!search_.Rows) {
        return false;
    }
    try {
        Recordset& rs = *search_.Rows;
        rs.moveFirst();
        rs.move(position);
        Entry entry = ReadEntry(rs);
        state_.CurrentSerial = entry.serial;
        Text1->setText(ToQString(entry.url));
        Text2->setText(ToQString(entry.title));
        Text3->setText(ToQString(entry.subtitle));
        Text5->setPlainText(ToQString(entry.comment));
        Text4->setText(ToQString(entry.keywords));
        return true;
    } catch (const std::exception& e) {
        showError(e, QString());
        return false;
    }
}

void Form1::List1_DblClick() {
    Command3_Click();
}

void Form1::Command4_Click() {
    search_.EntrySelected = false;
    refreshDataFilePath();
    Command2->setText(kRegister);
    Label8->clear();
    search_.releaseRows();
    ClearEntryForm();
    ResetListCaption();
}

bool Form1::refuseEmptyUrl() {
    if (!Text1->text().isEmpty()) {
        return false;
    }
    MessageBox(this, ToQString(Messages::NoUrl), MessageStyle::Ok);
    ClearEntryForm();
    ResetListCaption();
    return true;
}

void Form1::Command3_Click() {
    search_.EntrySelected = false;
    if (refuseEmptyUrl()) {
        return;
    }
    ResetListCaption();
    refreshDataFilePath();
    UrlOpener().openTyped(this, Text1->text());
}

} // namespace tomorine
