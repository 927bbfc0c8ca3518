#include "mainwindow/browser_import_dialog.h"

#include "bookmarks/bookmarks_import.h"
#include "bookmarks/chromium_bookmarks.h"
#include "bookmarks/firefox_bookmarks.h"
#include "bookmarks/netscape_reader.h"
#include "browser/chromium_records.h"
#include "browser/firefox_records.h"
#include "favorites/import_summary.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/focus_frame.h"
#include "mainwindow/message_box.h"
#include "mainwindow/named_widget.h"
#include "mainwindow/qt_text.h"
#include "store/message_style.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tomorine {

BrowserImportDialog::BrowserImportDialog(StoreState& store, const std::filesystem::path& home,
                                         QWidget* parent)
    : QDialog(parent), store_(store), home_(home) {
    setWindowTitle(QStringLiteral("ブラウザ取込"));
    sourceList = Named<QListWidget>(this, "sourceList");
    ShowFocusFrame(sourceList);
    importButton = Named<QPushButton>(this, "importButton", QStringLiteral("取込"));
    closeButton = Named<QPushButton>(this, "closeButton", QStringLiteral("閉じる"));
    importButton->setDefault(true);
    progressLabel = new QLabel(this);
    countsLabel = new QLabel(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(progressLabel, 1);
    buttons->addWidget(importButton);
    buttons->addWidget(closeButton);
    auto* page = new QVBoxLayout(this);
    page->addWidget(new QLabel(QStringLiteral("取り込むブックマーク"), this));
    page->addWidget(sourceList, 1);
    page->addWidget(countsLabel);
    page->addLayout(buttons);
    resize(560, 320);
    connect(importButton, &QPushButton::clicked, this, &BrowserImportDialog::startImport);
    connect(closeButton, &QPushButton::clicked, this, &BrowserImportDialog::reject);
    connect(sourceList, &QListWidget::itemDoubleClicked, this, [this] { startImport(); });
    listSources(home);
}

void BrowserImportDialog::listSources(const std::filesystem::path& home) {
    for (const std::filesystem::path& profile : FirefoxProfiles(home)) {
        sources_.push_back({Source::Firefox, profile});
        sourceList->addItem(QStringLiteral("Firefox: ") + PathToQString(profile));
    }
    for (const std::filesystem::path& profile : ChromiumProfiles(home / ".config", "chromium")) {
        sources_.push_back({Source::Chromium, profile});
        sourceList->addItem(QStringLiteral("Chromium 系: ") + PathToQString(profile));
    }
    sources_.push_back({Source::Html, {}});
    sourceList->addItem(QStringLiteral("HTMLファイル…"));
    sourceList->setCurrentRow(0);
}

void BrowserImportDialog::startImport() {
    const int row = sourceList->currentRow();
    if (running_ || row < 0 || row >= static_cast<int>(sources_.size())) {
        return;
    }
    Source source = sources_[static_cast<size_t>(row)];
    if (source.kind == Source::Html) {
        std::optional<QString> file = ChooseExistingFile(
            this, QStringLiteral("ブックマークファイルの指定"),
            {QStringLiteral("HTML (*.html *.htm)"), QStringLiteral("すべてのファイル (*)")},
            PathToQString(home_), QString());
        if (!file) {
            return;
        }
        source.path = ToPath(*file);
    }
    runImport(source);
}

void BrowserImportDialog::runImport(const Source& source) {
    countsLabel->clear();
    progressLabel->setText(QStringLiteral("読み込み中"));
    progressLabel->repaint();
    BrowserBookmarks bookmarks;
    try {
        bookmarks = source.kind == Source::Firefox    ? ReadFirefoxBookmarks(source.path)
                    : source.kind == Source::Chromium ? ReadChromiumBookmarks(source.path)
                                                      : ReadNetscapeBookmarks(source.path);
    } catch (const std::exception& e) {
        progressLabel->clear();
        MessageBox(this, ToQString(std::string_view(e.what())), MessageStyle::Exclamation);
        return;
    }
    running_ = true;
    stop_ = false;
    importButton->setEnabled(false);
    sourceList->setEnabled(false);
    closeButton->setText(QStringLiteral("中止"));
    BookmarksImportUi ui;
    ui.setProgress = [this](int percent) {
        progressLabel->setText(QString::number(percent) + " %");
    };
    ui.processEvents = [] { QApplication::processEvents(); };
    if (beforeImport) {
        beforeImport();
    }
    const BookmarksImportOutcome outcome = RunBookmarksImport(store_, bookmarks, ui, stop_);
    running_ = false;
    importButton->setEnabled(true);
    sourceList->setEnabled(true);
    closeButton->setText(QStringLiteral("閉じる"));
    const BookmarksImportCounts& c = outcome.counts;
    QString counts =
        ToQString("検出数：" + CountCaption(c.found) + "　登録数：" + CountCaption(c.registered) +
                  "　既存数：" + CountCaption(c.existing) + "　対象外：" + CountCaption(c.skipped));
    for (const auto& [caption, count] : {std::pair{"　切り詰め：", c.cut},
                                         {"　読めず：", c.unreadable},
                                         {"　文字置換：", c.replaced}}) {
        if (count > 0) {
            counts += ToQString(caption + CountCaption(count));
        }
    }
    countsLabel->setText(counts);
    progressLabel->setText(outcome.stopped ? QStringLiteral("中止") : QStringLiteral("完了"));
    if (outcome.failure) {
        progressLabel->setText(QString());
        MessageBox(this, QString::fromUtf8(outcome.failure->what()), MessageStyle::Exclamation);
    }
}

void BrowserImportDialog::reject() {
    if (running_) {
        stop_ = true;
        return;
    }
    QDialog::reject();
}

} // namespace tomorine
