// Conflict copies that a sync tool left beside the data file: noticed at
// start, after a data file choice and whenever the data file's folder
// changes, and merged when the user agrees.
#include "mainwindow/link_check_dialog.h"
#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
#include "mainwindow/qt_text.h"
#include "merge/conflict_copies.h"
#include "merge/conflict_merge.h"
#include "merge/merge_messages.h"
#include "store/message_style.h"
#include "upgrade/upgrade_context.h"

#include <QFileSystemWatcher>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>

namespace tomorine {

namespace {

namespace fs = std::filesystem;

const QString kMergeRule = QStringLiteral(
    "マージすると、競合コピーにあってこのファイルにないエントリーがすべて追加されます。"
    "そのため、競合コピーで変更したエントリーは 2 つ目のエントリーとして加わり、"
    "競合が起きてからこのファイルで削除したエントリーは元に戻ります。"
    "このファイルにあるエントリーは、変更も削除もされません。"
    "マージした競合コピーは conflicts フォルダに移します。");

QString FileName(const fs::path& file) {
    return PathToQString(file.filename());
}

QString CopyLine(const ConflictCopy& copy) {
    if (copy.problem != CopyProblem::None) {
        return QStringLiteral("・%1\n    マージできません: %2")
            .arg(FileName(copy.file), QString::fromStdString(copy.reason));
    }
    return QStringLiteral("・%1 (エントリー %2 件、追加されるもの %3 件)")
        .arg(FileName(copy.file))
        .arg(copy.entries)
        .arg(copy.newEntries);
}

} // namespace

void MainWindow::watchDataFolder() {
    if (conflictWatch_ == nullptr) {
        conflictWatch_ = new QFileSystemWatcher(this);
        conflictDelay_ = new QTimer(this);
        conflictDelay_->setSingleShot(true);
        // A save or a sync touches the folder several times in a row.
        conflictDelay_->setInterval(300);
        connect(conflictDelay_, &QTimer::timeout, this, &MainWindow::lookForConflictCopies);
        connect(conflictWatch_, &QFileSystemWatcher::directoryChanged, conflictDelay_,
                qOverload<>(&QTimer::start));
    }
    if (!conflictWatch_->directories().isEmpty()) {
        conflictWatch_->removePaths(conflictWatch_->directories());
    }
    conflictWatch_->addPath(PathToQString(store_.dataFilePath.parent_path()));
}

void MainWindow::lookForConflictCopies() {
    // Not on a rejected data file, nor over an open notice or a running link check.
    if (conflictNoticeOpen_ || linkCheckDialog->isRunning() || commands_.empty() ||
        !commands_.front()->isEnabled()) {
        return;
    }
    std::vector<fs::path> found;
    try {
        found = FindConflictCopies(store_.dataFilePath);
    } catch (const std::exception&) {
        return; // a folder that cannot be listed has no copies to offer
    }
    bool fresh = false;
    for (const fs::path& file : found) {
        fresh = noticedCopies_.insert(file.string()).second || fresh;
    }
    if (fresh) {
        const QScopedValueRollback<bool> open(conflictNoticeOpen_, true);
        offerConflictMerge(found);
    }
}

void MainWindow::offerConflictMerge(const std::vector<fs::path>& found) {
    std::vector<ConflictCopy> copies;
    try {
        copies = InspectConflictCopies(store_.dataFilePath, found);
    } catch (const std::exception& e) {
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        return;
    }
    QString text =
        QStringLiteral("データファイルの競合コピーが同期ツールによって作られています。\n\n");
    std::vector<fs::path> mergeable;
    for (const ConflictCopy& copy : copies) {
        text += CopyLine(copy) + u'\n';
        if (copy.problem == CopyProblem::None) {
            mergeable.push_back(copy.file);
        }
    }
    if (mergeable.empty()) {
        MessageBox(this, text + QStringLiteral("\nどの競合コピーもマージできません。"),
                   MessageStyle::Exclamation);
        return;
    }
    text += QStringLiteral("\n今マージしますか？\n\n") + kMergeRule;
    if (MessageBox(this, text, MessageStyle::OkCancel) != AnswerOk) {
        return;
    }
    mergeConflictCopies(mergeable);
}

void MainWindow::mergeConflictCopies(const std::vector<fs::path>& copies) {
    UpgradeContext context = upgradeContext();
    QString failures;
    for (const MergedCopy& merged : MergeConflictCopies(context, copies)) {
        if (!merged.error.empty()) {
            failures += FileName(merged.file) + QStringLiteral(": ") +
                        QString::fromStdString(merged.error) + u'\n';
        }
    }
    // As after データマージ: the entry form cleared, the search listed anew.
    clearEntryForm();
    resetListCaption();
    registerButton->setText(QStringLiteral("登録"));
    try {
        resultList->clear();
        listSearchResults();
    } catch (const std::exception& e) {
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
    }
    if (failures.isEmpty()) {
        MessageBox(this, ToQString(MergeMessages::Done), MessageStyle::Ok);
    } else {
        MessageBox(this, failures + ToQString(MergeMessages::Failed), MessageStyle::Critical);
    }
}

} // namespace tomorine
