// Deleting the selected entry.
#include "mainwindow/form1.h"
#include "mainwindow/form6.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "mainwindow/paint_notice.h"
#include "mainwindow/qt_text.h"
#include "store/entry.h"
#include "store/entry_deletion.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace tomorine {

namespace {

int& NoticeMilliseconds() {
    static int milliseconds = 1000;
    return milliseconds;
}

// A pause that keeps the windows painted.
void Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

void Form1::SetDeletionNoticeMilliseconds(int milliseconds) {
    NoticeMilliseconds() = milliseconds;
}

void Form1::Command6_Click() {
    search_.EntrySelected = false;
    if (refuseEmptyUrl()) {
        return;
    }
    ResetListCaption();
    // Only an entry picked from the list since the last search has a serial
    // to delete; the fields alone name none.
    const Recordset* selected = search_.Rows ? &*search_.Rows : nullptr;
    if (selected == nullptr || selected->bof() || selected->eof()) {
        MessageBox(this, QStringLiteral("削除するデータを一覧から選んでください"),
                   MessageStyle::Exclamation);
        return;
    }
    if (MessageBox(this, QStringLiteral("[ ") + Text2->text() + QStringLiteral(" ] を削除しますか"),
                   MessageStyle::OkCancel) != AnswerOk) {
        return;
    }
    form6->Label1->setText(QStringLiteral("削除しています"));
    // Placed before it shows, so that the window manager does not move it while shown.
    form6->move(geometry().center() - form6->rect().center());
    ShowPainted(form6);
    try {
        std::int32_t serial = CellToInt32(selected->field(SerialColumn));
        std::filesystem::path searchedFile = search_.SearchedFile;
        search_.releaseRows();
        refreshDataFilePath();
        if (searchedFile.lexically_normal() != state_.DataFilePath.lexically_normal()) {
            throw std::runtime_error(
                "データファイルが検索の後で変わりました。検索し直してください");
        }
        SaveListPosition();
        if (!DeleteEntryBySerial(state_.DataFilePath, serial)) {
            throw std::runtime_error(std::string(Messages::NothingToDelete));
        }
    } catch (const std::exception& e) {
        form6->hide();
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        return;
    }
    form6->Label1->setText(ToQString(Messages::Deleted));
    form6->repaint();
    Wait(NoticeMilliseconds());
    form6->hide();
    try {
        ClearEntryForm();
        ListSearchResults();
        RestoreListTop();
    } catch (const std::exception& e) {
        showError(e, QString());
    }
    Command2->setText(QStringLiteral("登録"));
}

} // namespace tomorine
