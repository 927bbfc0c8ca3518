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
    List1 = new QListWidget(this);
    ShowFocusFrame(List1);
    List1->setObjectName(QStringLiteral("List1"));
    Command1 = new QPushButton(QStringLiteral("取込"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("閉じる"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command1->setDefault(true);
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label1, 1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* page = new QVBoxLayout(this);
    page->addWidget(new QLabel(QStringLiteral("取り込むブックマーク"), this));
    page->addWidget(List1, 1);
    page->addWidget(Label2);
    page->addLayout(buttons);
    resize(560, 320);
    connect(Command1, &QPushButton::clicked, this, &BrowserImportDialog::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &BrowserImportDialog::Command2_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { Command1_Click(); });
    listSources(home);
}

void BrowserImportDialog::listSources(const std::filesystem::path& home) {
    for (const std::filesystem::path& profile : FirefoxProfiles(home)) {
        sources_.push_back({Source::Firefox, profile});
        List1->addItem(QStringLiteral("Firefox: ") + PathToQString(profile));
    }
    for (const std::filesystem::path& profile : ChromiumProfiles(home / ".config", "chromium")) {
        sources_.push_back({Source::Chromium, profile});
        List1->addItem(QStringLiteral("Chromium 系: ") + PathToQString(profile));
    }
    sources_.push_back({Source::Html, {}});
    List1->addItem(QStringLiteral("HTMLファイル…"));
    List1->setCurrentRow(0);
}

void BrowserImportDialog::Command1_Click() {
    const int row = List1->currentRow();
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
    Label2->clear();
    Label1->setText(QStringLiteral("読み込み中"));
    Label1->repaint();
    BrowserBookmarks bookmarks;
    try {
        bookmarks = source.kind == Source::Firefox    ? ReadFirefoxBookmarks(source.path)
                    : source.kind == Source::Chromium ? ReadChromiumBookmarks(source.path)
                                                      : ReadNetscapeBookmarks(source.path);
    } catch (const std::exception& e) {
        Label1->clear();
        MessageBox(this, ToQString(std::string_view(e.what())), MessageStyle::Exclamation);
        return;
    }
    running_ = true;
    stop_ = false;
    Command1->setEnabled(false);
    List1->setEnabled(false);
    Command2->setText(QStringLiteral("中止"));
    BookmarksImportUi ui;
    ui.setProgress = [this](int percent) { Label1->setText(QString::number(percent) + " %"); };
    ui.processEvents = [] { QApplication::processEvents(); };
    if (beforeImport) {
        beforeImport();
    }
    const BookmarksImportOutcome outcome = RunBookmarksImport(store_, bookmarks, ui, stop_);
    running_ = false;
    Command1->setEnabled(true);
    List1->setEnabled(true);
    Command2->setText(QStringLiteral("閉じる"));
    const BookmarksImportCounts& c = outcome.counts;
    QString counts =
        ToQString("検出数：" + CountCaption(c.found) + "　登録数：" + CountCaption(c.registered) +
                  "　既存数：" + CountCaption(c.existing) + "　対象外：" + CountCaption(c.skipped));
    if (c.cut > 0) {
        counts += ToQString("　切り詰め：" + CountCaption(c.cut));
    }
    if (c.unreadable > 0) {
        counts += ToQString("　読めず：" + CountCaption(c.unreadable));
    }
    if (c.replaced > 0) {
        counts += ToQString("　文字置換：" + CountCaption(c.replaced));
    }
    Label2->setText(counts);
    Label1->setText(outcome.stopped ? QStringLiteral("中止") : QStringLiteral("完了"));
    if (outcome.failure) {
        Label1->setText(QString());
        MessageBox(this, QString::fromUtf8(outcome.failure->what()), MessageStyle::Exclamation);
    }
}

void BrowserImportDialog::Command2_Click() {
    if (running_) {
        stop_ = true;
        return;
    }
    accept();
}

void BrowserImportDialog::reject() {
    if (running_) {
        stop_ = true;
        return;
    }
    QDialog::reject();
}

} // namespace tomorine
