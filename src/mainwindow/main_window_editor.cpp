// The entry editor: register or update, list selection, clear, display.
#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/url_open_seam.h"
#include "store/data_connection.h"
#include "store/entry_registration.h"
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

void MainWindow::setOpenUrl(std::function<bool(const QUrl&)> open) {
    UrlOpener().set(std::move(open));
}

void MainWindow::registerOrUpdate() {
    search_.entrySelected = false;
    if (urlField->text().isEmpty() || titleField->text().isEmpty()) {
        MessageBox(this, ToQString(Messages::UrlAndTitleRequired), MessageStyle::Ok);
        (urlField->text().isEmpty() ? urlField : titleField)->setFocus();
        return;
    }
    try {
        resetListCaption();
        search_.releaseRows();
        refreshDataFilePath();
        Entry entry{0,
                    ToU16(urlField->text()),
                    ToU16(titleField->text()),
                    ToU16(subtitleField->text()),
                    ToU16(keywordsField->text()),
                    commentText()};
        bool registering = registerButton->text() == kRegister;
        int changed = 0;
        saveListPosition();
        if (registering) {
            store_.currentSerial = RegisterEntry(store_.dataFilePath, entry);
        } else {
            changed = UpdateEntry(store_.dataFilePath, store_.currentSerial, entry);
        }
        upgrade_.dataChanged = true;
        if (registering) {
            MessageBox(this, ToQString(Messages::Registered), MessageStyle::Ok);
            findEntryByUrl();
            if (search_.hitCount >= 1) {
                selectListIndex(0);
            }
        } else {
            clearEntryForm();
            listSearchResults();
            restoreListPosition();
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

void MainWindow::resultSelected() {
    search_.entrySelected = true;
    if (resultList->count() == 0 || resultList->currentItem() == nullptr) {
        return;
    }
    // Only an entry shown in the fields may be updated: a keyword, or a line
    // whose search is gone, leaves the editor registering.
    if (keywordListMode_) {
        keywordsField->setText(resultList->currentItem()->text());
        return;
    }
    if (loadSelectedEntry(resultList->currentItem()->data(Qt::UserRole).toLongLong())) {
        registerButton->setText(kUpdate);
    }
}

bool MainWindow::loadSelectedEntry(long position) {
    if (!search_.rows) {
        return false;
    }
    try {
        Recordset& rs = *search_.rows;
        rs.moveFirst();
        rs.move(position);
        Entry entry = ReadEntry(rs);
        store_.currentSerial = entry.serial;
        urlField->setText(ToQString(entry.url));
        titleField->setText(ToQString(entry.title));
        subtitleField->setText(ToQString(entry.subtitle));
        commentField->setPlainText(ToQString(entry.comment));
        keywordsField->setText(ToQString(entry.keywords));
        return true;
    } catch (const std::exception& e) {
        showError(e, QString());
        return false;
    }
}

void MainWindow::clearEditor() {
    search_.entrySelected = false;
    refreshDataFilePath();
    registerButton->setText(kRegister);
    hitCountLabel->clear();
    search_.releaseRows();
    clearEntryForm();
    resetListCaption();
}

bool MainWindow::refuseEmptyUrl() {
    if (!urlField->text().isEmpty()) {
        return false;
    }
    MessageBox(this, ToQString(Messages::NoUrl), MessageStyle::Ok);
    clearEntryForm();
    resetListCaption();
    return true;
}

void MainWindow::openEntryUrl() {
    search_.entrySelected = false;
    if (refuseEmptyUrl()) {
        return;
    }
    resetListCaption();
    refreshDataFilePath();
    UrlOpener().openTyped(this, urlField->text());
}

} // namespace tomorine
