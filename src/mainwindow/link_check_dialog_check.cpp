// The broken-link check of the window.
#include "linkcheck/link_check.h"
#include "linkcheck/link_check_messages.h"
#include "linkcheck/link_targets.h"
#include "mainwindow/link_check_dialog.h"
#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
#include "mainwindow/paint_notice.h"
#include "mainwindow/qt_text.h"
#include "search/result_lines.h"
#include "store/files/whole_file.h"
#include "store/live_entries.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QStatusBar>
#include <QTreeWidget>
#include <algorithm>

namespace tomorine {

namespace {

int& StartDelay() {
    static int milliseconds = 1000;
    return milliseconds;
}

// How often the window looks for new verdicts; the window's events run in
// between, which is how OK reaches the check.
constexpr int kPollMilliseconds = 50;

} // namespace

void LinkCheckDialog::setStartDelayMilliseconds(int milliseconds) {
    StartDelay() = milliseconds;
}

void LinkCheckDialog::runLinkCheck() {
    if (!IsRegularFile(ToPath(mainWindow_.dataFileField->text()))) {
        MessageBox(this, ToQString(Messages::NoDataFile), MessageStyle::Ok);
        deadLinkList->clear();
        urlField->clear();
        lineCountLabel->clear();
        return;
    }
    WaitPainting(StartDelay());
    if (!isVisible()) {
        return; // OK was pressed while the window waited
    }
    checked_.clear();
    networkDown_ = false;
    if (openResults(checked_)) {
        checkTargets(checked_);
    }
}

// Opens the module connection on every live entry and reads them; false
// after a failure, which has been shown.
bool LinkCheckDialog::openResults(std::vector<LinkTarget>& targets) {
    bool watchPaused = false;
    try {
        SearchSession& search = mainWindow_.search();
        if (search.rows) {
            search.releaseRows();
            mainWindow_.resultList->clear();
        }
        search.savedSearchUrl = u"";
        search.keepRows(dataFile_, LiveEntries(dataFile_));
        Recordset& rows = *search.rows;
        if (rows.bof() && rows.eof()) {
            MessageBox(this, ToQString(Messages::NotFound), MessageStyle::Ok);
        }
        setForegroundWatch(false);
        watchPaused = true;
        deadLinkList->clear();
        urlField->clear();
        lineCountLabel->clear();
        progressLabel->clear();
        progressBar->reset();
        setLinkCommandsEnabled(false);
        running_ = true;
        targets = ReadLinkTargets(rows);
        return true;
    } catch (const std::exception& e) {
        running_ = false;
        // The watch belongs to the main window; a failed check gives it back.
        if (watchPaused) {
            setForegroundWatch(true);
        }
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Ok);
        MessageBox(this, ToQString(Messages::KeyError), MessageStyle::Ok);
        return false;
    }
}

void LinkCheckDialog::checkTargets(const std::vector<LinkTarget>& targets) {
    LinkCheck check(UrlsOf(targets), checkOptions);
    LinkCheckProgress progress;
    for (;;) {
        progress = check.progress();
        for (const RowVerdict& row : check.takeReleased()) {
            if (row.verdict.listed()) {
                addDeadLine(targets[row.row], row.verdict);
            }
        }
        // Read again: the lines just listed may be newer than `progress`.
        const LinkCheckProgress shown = check.progress();
        showProgress(shown.decided, shown.total);
        if (progress.finished) {
            break;
        }
        const bool noticeShown = noticeShown_.isValid() && noticeShown_.elapsed() < 3000;
        if (progress.oldestOpen < targets.size() && !noticeShown) {
            statusBar->showMessage(ToQString(StartStatusText(targets[progress.oldestOpen])));
        }
        WaitPainting(kPollMilliseconds);
        if (!running_) {
            check.stop();
            statusBar->showMessage(ToQString(LinkCheckMessages::Stopped));
            setForegroundWatch(true);
            return;
        }
    }
    running_ = false;
    setForegroundWatch(true);
    if (!progress.error.empty()) {
        MessageBox(this, QString::fromUtf8(progress.error.c_str()), MessageStyle::Critical);
        statusBar->showMessage(ToQString(LinkCheckMessages::Stopped));
        return;
    }
    statusBar->showMessage(ToQString(LinkCheckMessages::Finished));
    setLinkCommandsEnabled(true);
    networkDown_ = NetworkDown(progress);
    if (networkDown_) {
        MessageBox(this, ToQString(LinkCheckMessages::NetworkDown), MessageStyle::Exclamation);
    }
}

void LinkCheckDialog::showProgress(std::size_t decided, std::size_t total) {
    progressLabel->setText(QStringLiteral("%1 / %2").arg(decided).arg(total));
    progressBar->setMaximum(static_cast<int>(std::max<std::size_t>(total, 1)));
    progressBar->setValue(static_cast<int>(decided));
}

void LinkCheckDialog::addDeadLine(const LinkTarget& target, const LinkVerdict& verdict) {
    const QString message = QString::fromStdString(verdict.message);
    auto* item = new QTreeWidgetItem({ToQString(ResultLine(target.serial, target.title)), message});
    item->setData(0, Qt::UserRole, static_cast<qlonglong>(target.position));
    item->setData(0, kSerialRole, target.serial);
    item->setData(0, kUrlRole, ToQString(target.url));
    item->setData(0, kClassRole, static_cast<int>(verdict.linkClass));
    item->setToolTip(1, message);
    deadLinkList->addTopLevelItem(item);
    deadLinkList->scrollToItem(item, QAbstractItemView::PositionAtTop);
    showLineCount();
}

} // namespace tomorine
