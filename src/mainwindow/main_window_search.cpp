// The search command and its silent and re-run forms.
#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
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

void MainWindow::showError(const std::exception& error, const QString& then) {
    MessageBox(this, QString::fromUtf8(error.what()), MessageStyle::Ok);
    if (!then.isEmpty()) {
        MessageBox(this, then, MessageStyle::Ok);
    }
}

void MainWindow::runSearch() {
    searchByClick(false);
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
void MainWindow::listMatchingRows() {
    search_.hitCount = 0;
    ListMatchingRows(*search_.rows, search_.savedSearchTexts, [this](const SearchHit& hit) {
        AddResultLine(resultList, hit);
        ++search_.hitCount;
    });
    hitCountLabel->setText(ToQString(HitCountCaption(search_.hitCount)));
}

void MainWindow::searchByClick(bool silent) {
    if (!IsRegularFile(ToPath(dataFileField->text()))) {
        MessageBox(this, ToQString(Messages::NoDataFile), MessageStyle::Ok);
        return;
    }
    try {
        if (search_.rows) {
            search_.releaseRows();
            resultList->clear();
        }
        refreshDataFilePath();
        search_.savedSearchUrl = ToU16(urlField->text());
        search_.savedSearchTexts = fieldTexts();
        search_.keepRows(store_.dataFilePath,
                         SearchRows(store_.dataFilePath, *search_.savedSearchUrl));
        resultList->clear();
        resetListCaption();
        listMatchingRows();
        if (search_.hitCount == 0 && !silent) {
            MessageBox(this, ToQString(Messages::NotFound), MessageStyle::Ok);
        }
        if (search_.entrySelected) {
            search_.entrySelected = false;
            if (search_.hitCount == 1) {
                selectListIndex(0);
            }
        }
    } catch (const std::exception& e) {
        showError(e, ToQString(Messages::KeyError));
    }
}

void MainWindow::findEntryByUrl() {
    if (urlField->text().isEmpty()) {
        return;
    }
    searchByClick(true);
    if (search_.hitCount > 0) {
        selectListIndex(0);
    }
}

void MainWindow::listSearchResults() {
    search_.releaseRows();
    // After a data file change there is no search to re-run.
    if (!search_.savedSearchUrl) {
        search_.hitCount = 0;
        hitCountLabel->clear();
        return;
    }
    search_.keepRows(store_.dataFilePath, SearchRows(store_.dataFilePath, *search_.savedSearchUrl));
    listMatchingRows();
}

} // namespace tomorine
