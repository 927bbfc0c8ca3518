// Deleting the selected entry.
#include "mainwindow/deletion_notice.h"
#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
#include "mainwindow/paint_notice.h"
#include "mainwindow/qt_text.h"
#include "store/entry.h"
#include "store/entry_deletion.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tomorine {

namespace {

int& NoticeMilliseconds() {
    static int milliseconds = 1000;
    return milliseconds;
}

} // namespace

void MainWindow::setDeletionNoticeMilliseconds(int milliseconds) {
    NoticeMilliseconds() = milliseconds;
}

void MainWindow::deleteEntry() {
    search_.entrySelected = false;
    if (refuseEmptyUrl()) {
        return;
    }
    resetListCaption();
    // Only an entry picked from the list since the last search has a serial
    // to delete; the fields alone name none.
    const Recordset* selected = search_.rows ? &*search_.rows : nullptr;
    if (selected == nullptr || selected->bof() || selected->eof()) {
        MessageBox(this, QStringLiteral("削除するデータを一覧から選んでください"),
                   MessageStyle::Exclamation);
        return;
    }
    if (MessageBox(this,
                   QStringLiteral("[ ") + titleField->text() + QStringLiteral(" ] を削除しますか"),
                   MessageStyle::OkCancel) != AnswerOk) {
        return;
    }
    deletionNotice->messageLabel->setText(QStringLiteral("削除しています"));
    // Placed before it shows, so that the window manager does not move it while shown.
    deletionNotice->move(geometry().center() - deletionNotice->rect().center());
    ShowPainted(deletionNotice);
    try {
        std::int32_t serial = CellToInt32(selected->field(SerialColumn));
        std::filesystem::path searchedFile = search_.searchedFile;
        search_.releaseRows();
        refreshDataFilePath();
        if (searchedFile.lexically_normal() != store_.dataFilePath.lexically_normal()) {
            throw std::runtime_error(
                "データファイルが検索の後で変わりました。検索し直してください");
        }
        saveListPosition();
        if (!DeleteEntryBySerial(store_.dataFilePath, serial)) {
            throw std::runtime_error(std::string(Messages::NothingToDelete));
        }
    } catch (const std::exception& e) {
        deletionNotice->hide();
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        return;
    }
    deletionNotice->messageLabel->setText(ToQString(Messages::Deleted));
    deletionNotice->repaint();
    WaitPainting(NoticeMilliseconds());
    deletionNotice->hide();
    try {
        clearEntryForm();
        listSearchResults();
        restoreListTop();
    } catch (const std::exception& e) {
        showError(e, QString());
    }
    registerButton->setText(QStringLiteral("登録"));
}

} // namespace tomorine
