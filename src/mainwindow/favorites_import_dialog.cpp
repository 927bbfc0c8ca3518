#include "mainwindow/favorites_import_dialog.h"

#include "favorites/favorites_folder.h"
#include "favorites/favorites_import.h"
#include "favorites/import_summary.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/focus_frame.h"
#include "mainwindow/message_box.h"
#include "mainwindow/named_widget.h"
#include "mainwindow/paint_notice.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/window_menu.h"
#include "store/message_style.h"
#include "store/settings/app_dir.h"
#include "store/settings/settings_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

namespace tomorine {

namespace {

constexpr int kWidth = 560;
constexpr int kTrackWidth = 440;

int& StartWaitMilliseconds() {
    static int milliseconds = 1000;
    return milliseconds;
}

QLabel* Caption(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    QLabel* label = Named<QLabel>(parent, name, geometry);
    label->setText(text);
    return label;
}

QFrame* Rule(QWidget* parent, const char* name, int y) {
    auto* line = Named<QFrame>(parent, name, QRect(12, y, kWidth - 24, 2));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

FavoritesImportDialog::FavoritesImportDialog(StoreState& store, QWidget* parent)
    : QDialog(parent), store_(store) {
    setObjectName(QStringLiteral("FavoritesImportDialog"));
    setWindowTitle(QStringLiteral("お気に入り取り込み"));
    setModal(true);
    resize(kWidth, 516);
    buildControls();
    percentLabel->setAlignment(Qt::AlignCenter);
    progressBar->setAutoFillBackground(true);
    QPalette bar = progressBar->palette();
    bar.setColor(QPalette::Window, QColor(255, 224, 192));
    progressBar->setPalette(bar);
    load();
}

// Every opening starts as a fresh window: nothing of the last import shows.
void FavoritesImportDialog::load() {
    setImportResultsVisible(false);
    fileList->clear();
    favoriteUrlLabel->clear();
    favoriteNameLabel->clear();
    percentLabel->clear();
    progressBar->resize(0, progressBar->height());
    statusBar->clearMessage();
}

int FavoritesImportDialog::exec() {
    // Before it is shown: a change of a shown window's frame would hide it.
    RemoveSystemMenuItem(this, 5);
    return QDialog::exec();
}

void FavoritesImportDialog::setStartWaitMilliseconds(int milliseconds) {
    StartWaitMilliseconds() = milliseconds;
}

void FavoritesImportDialog::buildControls() {
    filesCaption =
        Caption(this, "filesCaption", QStringLiteral("お気に入りファイル"), {12, 10, 300, 20});
    fileList = Named<QListWidget>(this, "fileList", {12, 32, kWidth - 24, 160});
    fileList->setUniformItemSizes(true);
    fileList->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    ShowFocusFrame(fileList);
    fileListRule = Rule(this, "fileListRule", 200);
    progressCaption =
        Caption(this, "progressCaption", QStringLiteral("進捗状況"), {12, 208, 300, 20});
    progressTrack = Named<QLabel>(this, "progressTrack", {12, 232, kTrackWidth, 22});
    progressTrack->setFrameShape(QFrame::Panel);
    progressTrack->setFrameShadow(QFrame::Sunken);
    progressBar = Named<QLabel>(this, "progressBar", {12, 232, kTrackWidth, 22});
    percentLabel = Named<QLabel>(this, "percentLabel", {12, 232, kTrackWidth, 22});
    progressRule = Rule(this, "progressRule", 264);
    urlCaption = Caption(this, "urlCaption", QStringLiteral("URL："), {12, 274, 80, 20});
    favoriteUrlLabel = Named<QLabel>(this, "favoriteUrlLabel", {92, 274, kWidth - 104, 20});
    titleCaption = Caption(this, "titleCaption", QStringLiteral("タイトル："), {12, 298, 80, 20});
    favoriteNameLabel = Named<QLabel>(this, "favoriteNameLabel", {92, 298, kWidth - 104, 20});
    favoriteRule = Rule(this, "favoriteRule", 326);
    statusCaption =
        Caption(this, "statusCaption", QStringLiteral("ステータス"), {12, 334, 300, 20});
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QLabel** counts[] = {&foundCountLabel, &registeredCountLabel, &existingCountLabel,
                         &failedCountLabel};
    QLabel** headings[] = {&foundHeading, &registeredHeading, &existingHeading, &failedHeading};
    const char* countNames[] = {"foundCountLabel", "registeredCountLabel", "existingCountLabel",
                                "failedCountLabel"};
    const char* headingNames[] = {"foundHeading", "registeredHeading", "existingHeading",
                                  "failedHeading"};
    const QString headingTexts[] = {QStringLiteral("検出数："), QStringLiteral("登録数："),
                                    QStringLiteral("既存数："), QStringLiteral("エラー数：")};
    for (int i = 0; i < 4; ++i) {
        int y = 358 + 24 * i;
        *headings[i] = Caption(this, headingNames[i], headingTexts[i], {24, y, 90, 20});
        *counts[i] = Named<QLabel>(this, countNames[i], {114, y, 64, 20});
        (*counts[i])->setFont(fixed);
        (*counts[i])->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    unreadableNotice = Named<QLabel>(this, "unreadableNotice", {196, 358, kWidth - 208, 20});
    namesTooLongNotice = Named<QLabel>(this, "namesTooLongNotice", {196, 382, kWidth - 208, 20});
    noTargetsNotice = Named<QLabel>(this, "noTargetsNotice", {196, 406, kWidth - 208, 20});
    summaryRule = Rule(this, "summaryRule", 454);
    okButton = Named<QPushButton>(this, "okButton", {kWidth - 112, 462, 100, 28});
    okButton->setText(QStringLiteral("OK"));
    okButton->setDefault(true);
    statusBar = Named<QStatusBar>(this, "statusBar", {0, 494, kWidth, 22});
    statusBar->setSizeGripEnabled(false);
    connect(okButton, &QPushButton::clicked, this, &FavoritesImportDialog::okOrStop);
    connect(fileList, &QListWidget::itemClicked, this, &FavoritesImportDialog::fileSelected);
}

void FavoritesImportDialog::setImportResultsVisible(bool visible) {
    for (QLabel* label : {foundCountLabel, registeredCountLabel, existingCountLabel,
                          failedCountLabel, unreadableNotice, namesTooLongNotice, noTargetsNotice,
                          foundHeading, registeredHeading, existingHeading, failedHeading}) {
        label->setVisible(visible);
    }
}

QString FavoritesImportDialog::statusText() const {
    return statusBar->currentMessage();
}

void FavoritesImportDialog::setStatus(std::string_view text) {
    statusBar->showMessage(ToQString(text));
}

void FavoritesImportDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The import starts once the window is up, as its activation does.
    if (!activated_) {
        activated_ = true;
        load();
        QTimer::singleShot(0, this, &FavoritesImportDialog::activate);
    }
}

void FavoritesImportDialog::activate() {
    if (isVisible()) {
        importFavorites();
    }
}

void FavoritesImportDialog::reject() {
    if (IsClosingByProgram(this)) {
        QDialog::reject();
        return;
    }
    okOrStop();
}

void FavoritesImportDialog::okOrStop() {
    QString status = statusText();
    if (status.isEmpty() || status == ToQString(FavoritesMessages::Done) ||
        favorites_.importCancelRequested) {
        activated_ = false;
        CloseByProgram(this);
        return;
    }
    favorites_.importCancelRequested = true;
    setStatus(FavoritesMessages::Stopped);
}

void FavoritesImportDialog::fileSelected() {
    if (QListWidgetItem* item = fileList->currentItem()) {
        const QByteArray bytes = item->data(Qt::UserRole).toByteArray();
        if (std::optional<Favorite> favorite = ReadFavoriteFile(bytes.toStdString(), counters_)) {
            showFavorite(favorite->url, favorite->name);
        }
    }
}

void FavoritesImportDialog::showFavorite(const std::u16string& url, const std::u16string& name) {
    favoriteUrlLabel->setText(ToQString(url));
    favoriteNameLabel->setText(ToQString(name));
    favoriteUrlLabel->repaint();
    favoriteNameLabel->repaint();
}

void FavoritesImportDialog::addFileLine(const std::filesystem::path& path) {
    // The line shows the path; its item keeps the file name's bytes, which
    // need not be UTF-8.
    auto* item = new QListWidgetItem(QString::fromStdString(path.native()));
    item->setData(Qt::UserRole, QByteArray::fromStdString(path.native()));
    fileList->addItem(item);
    fileList->scrollToBottom();
    fileList->repaint();
}

void FavoritesImportDialog::setPercent(int percent) {
    progressBar->resize(percent * progressTrack->width() / 100, progressBar->height());
    percentLabel->setText(QString::number(percent) + QStringLiteral(" %"));
}

ImportUi FavoritesImportDialog::importUi() {
    ImportUi ui;
    ui.addFile = [this](const std::filesystem::path& path) { addFileLine(path); };
    ui.showFavorite = [this](const Favorite& f) { showFavorite(f.url, f.name); };
    ui.setProgress = [this](int percent) { setPercent(percent); };
    ui.processEvents = [] { QCoreApplication::processEvents(); };
    return ui;
}

std::filesystem::path FavoritesImportDialog::favoritesFolder() {
    const std::filesystem::path appIni = GetAppDir() + std::string(kSettingsFileName);
    std::filesystem::path folder = FindFavoritesFolder(appIni);
    if (!folder.empty()) {
        return folder;
    }
    MessageBox(this, ToQString(FavoritesMessages::FolderNotFound), MessageStyle::Ok);
    std::optional<QString> chosen =
        ChooseFolder(this, ToQString(FavoritesMessages::ChooseFolder), QDir::homePath());
    if (!chosen) {
        return {};
    }
    folder = ToPath(*chosen);
    RememberFavoritesFolder(appIni, folder);
    return folder;
}

void FavoritesImportDialog::importFavorites() {
    setStatus(FavoritesMessages::Reading);
    WaitPainting(StartWaitMilliseconds());
    ResetImportCounts(favorites_, counters_);
    std::filesystem::path folder = favoritesFolder();
    if (folder.empty()) {
        return;
    }
    if (beforeImport) {
        beforeImport();
    }
    ImportContext context{store_, favorites_, counters_, importUi()};
    ImportOutcome outcome = RunFavoritesImport(context, folder);
    if (outcome.failure) {
        // What is in the data file is shown; OK then closes at once.
        favorites_.importCancelRequested = true;
        setStatus(FavoritesMessages::Stopped);
        MessageBox(this, QString::fromUtf8(outcome.failure->what()), MessageStyle::Exclamation);
        if (outcome.found > 0) {
            showSummary(outcome);
        }
        return;
    }
    if (outcome.stopped) {
        return;
    }
    showSummary(outcome);
    setStatus(FavoritesMessages::Done);
}

void FavoritesImportDialog::showSummary(const ImportOutcome& outcome) {
    foundCountLabel->setText(ToQString(CountCaption(outcome.found)));
    registeredCountLabel->setText(ToQString(CountCaption(favorites_.registeredCount)));
    existingCountLabel->setText(ToQString(CountCaption(favorites_.existingCount)));
    failedCountLabel->setText(ToQString(CountCaption(counters_.shortcutErrorCount)));
    ImportNotices notices =
        NoticesFor(counters_, favorites_.skippedCount, outcome.unreadableFolders);
    unreadableNotice->setText(ToQString(notices.unreadable.empty() || notices.skipped.empty()
                                            ? notices.unreadable + notices.skipped
                                            : notices.unreadable + "\n" + notices.skipped));
    namesTooLongNotice->setText(ToQString(notices.namesTooLong));
    noTargetsNotice->setText(ToQString(notices.noTargets));
    setImportResultsVisible(true);
}

} // namespace tomorine
