// The keyword list command.
#include "keywords/keyword_list.h"
#include "mainwindow/form1.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
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

void ShowKeywordListCaption(QLabel* label) {
    label->setText(QStringLiteral("キーワード一覧"));
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
    label->setPalette(palette);
}

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

void Form1::Command11_Click() {
    search_.EntrySelected = false;
    if (!IsRegularFile(ToPath(Text6->text()))) {
        MessageBox(this, ToQString(Messages::NoDataFile), MessageStyle::Ok);
        return;
    }
    refreshDataFilePath();
    state_.KeywordListMode = true;
    ShowKeywordListCaption(Label1);
    Label1->repaint();
    std::vector<KeywordLine> keywords;
    try {
        WaitCursor busy;
        keywords = ListKeywords(state_.DataFilePath);
    } catch (const std::exception& e) {
        // The list still shows the last search, which stays usable.
        ResetListCaption();
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        return;
    }
    // The list no longer shows the search's rows: nothing may act on them.
    search_.releaseRows();
    search_.SavedSearchUrl.reset();
    ClearEntryForm();
    // The entry picked before is no longer shown: 更新 must not rewrite it.
    Command2->setText(QStringLiteral("登録"));
    search_.HitCount = 0;
    for (const KeywordLine& line : keywords) {
        auto* item = new QListWidgetItem(ToQString(line.keyword));
        item->setData(Qt::UserRole, static_cast<qlonglong>(line.position));
        List1->addItem(item);
        ++search_.HitCount;
    }
    Label8->setText(ToQString(HitCountCaption(search_.HitCount)));
}

} // namespace tomorine
