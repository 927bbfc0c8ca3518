// The keyword list command.
#include "keywords/keyword_list.h"
#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
#include "mainwindow/qt_text.h"
#include "search/result_lines.h"
#include "store/files/whole_file.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace tomorine {

namespace {

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

void MainWindow::listKeywords() {
    search_.entrySelected = false;
    if (!IsRegularFile(ToPath(dataFileField->text()))) {
        MessageBox(this, ToQString(Messages::NoDataFile), MessageStyle::Ok);
        return;
    }
    refreshDataFilePath();
    keywordListMode_ = true;
    showListCaption(QStringLiteral("キーワード一覧"), true);
    listCaptionLabel->repaint();
    std::vector<KeywordLine> keywords;
    try {
        WaitCursor busy;
        keywords = ListKeywords(store_.dataFilePath);
    } catch (const std::exception& e) {
        // The list still shows the last search, which stays usable.
        resetListCaption();
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        return;
    }
    // The list no longer shows the search's rows: nothing may act on them.
    search_.releaseRows();
    search_.savedSearchUrl.reset();
    clearEntryForm();
    // The entry picked before is no longer shown: 更新 must not rewrite it.
    registerButton->setText(QStringLiteral("登録"));
    search_.hitCount = 0;
    for (const KeywordLine& line : keywords) {
        auto* item = new QListWidgetItem(ToQString(line.keyword));
        item->setData(Qt::UserRole, static_cast<qlonglong>(line.position));
        resultList->addItem(item);
        ++search_.hitCount;
    }
    hitCountLabel->setText(ToQString(HitCountCaption(search_.hitCount)));
}

} // namespace tomorine
