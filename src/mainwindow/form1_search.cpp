// The search command and its silent and re-run forms.
#include "mainwindow/form1.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "mainwindow/qt_text.h"
#include "search/result_lines.h"
#include "search/search_rows.h"
#include "store/files/whole_file.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace tomorine {

void Form1::showError(const std::exception& error, const QString& then) {
    MessageBox(this, QString::fromUtf8(error.what()), MessageStyle::Ok);
    if (!then.isEmpty()) {
        MessageBox(this, then, MessageStyle::Ok);
    }
}

void Form1::Command1_Click() {
    state_.SilentSearch = false;
    KensakuByClick();
}

namespace {

void AddResultLine(QListWidget* list, const SearchHit& hit) {
    auto* item = new QListWidgetItem(ToQString(hit.line));
    item->setData(Qt::UserRole, static_cast<qlonglong>(hit.position));
    list->addItem(item);
}

} // namespace

// Appends the rows of the module recordset that match the saved search
// texts, counting them, and shows the count.
void Form1::listMatchingRows() {
    state_.HitCount = 0;
    ListMatchingRows(*state_.ModuleRecordset, state_.SavedSearchTexts,
                     [this](const SearchHit& hit) {
                         AddResultLine(List1, hit);
                         ++state_.HitCount;
                     });
    Label8->setText(ToQString(HitCountCaption(state_.HitCount)));
}

void Form1::KensakuByClick() {
    if (!IsRegularFile(ToPath(Text6->text()))) {
        MessageBox(this, ToQString(Messages::NoDataFile), MessageStyle::Ok);
        return;
    }
    try {
        if (state_.ConnectionOpen) {
            CloseDataConnection(state_);
            List1->clear();
            state_.ConnectionOpen = false;
        }
        state_.ConnectionOpen = true;
        state_.HasSearchResult = false;
        refreshDataFilePath();
        state_.ModuleConnection = std::make_unique<Connection>(state_.DataFilePath);
        state_.SavedSearchUrl = ToU16(Text1->text());
        state_.SavedSearchTexts = fieldTexts();
        state_.ModuleRecordset =
            std::make_unique<Recordset>(SearchRows(state_.DataFilePath, *state_.SavedSearchUrl));
        List1->clear();
        ResetListCaption();
        listMatchingRows();
        if (state_.HitCount > 0) {
            state_.HasSearchResult = true;
        } else if (!state_.SilentSearch) {
            MessageBox(this, ToQString(Messages::NotFound), MessageStyle::Ok);
        }
        if (state_.EntrySelected) {
            state_.EntrySelected = false;
            if (state_.HitCount == 1) {
                selectListIndex(0);
            }
        }
    } catch (const std::exception& e) {
        showError(e, ToQString(Messages::KeyError));
    }
}

void Form1::FindEntryByUrl() {
    if (Text1->text().isEmpty()) {
        return;
    }
    state_.SilentSearch = true;
    KensakuByClick();
    state_.SilentSearch = false;
    if (state_.HitCount > 0) {
        selectListIndex(0);
    }
}

void Form1::ListSearchResults() {
    state_.ConnectionOpen = true;
    state_.ModuleRecordset.reset();
    state_.ModuleConnection.reset();
    // After a data file change there is no search to re-run.
    if (!state_.SavedSearchUrl) {
        state_.HitCount = 0;
        Label8->clear();
        return;
    }
    state_.ModuleConnection = std::make_unique<Connection>(state_.DataFilePath);
    state_.ModuleRecordset =
        std::make_unique<Recordset>(SearchRows(state_.DataFilePath, *state_.SavedSearchUrl));
    listMatchingRows();
}

} // namespace tomorine
