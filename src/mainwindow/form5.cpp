#include "mainwindow/form5.h"

#include "favorites/favorites_folder.h"
#include "favorites/favorites_import.h"
#include "favorites/import_summary.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/focus_frame.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "mainwindow/named_widget.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/window_menu.h"
#include "store/message_style.h"
#include "store/settings/app_dir.h"
#include "store/settings/settings_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
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

// A wait that keeps the window drawn and its button answering.
void WaitKeepingEvents(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
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

Form5::Form5(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("お気に入り取り込み"));
    setModal(true);
    resize(kWidth, 516);
    buildControls();
    Label22->setAlignment(Qt::AlignCenter);
    Label21->setAutoFillBackground(true);
    QPalette bar = Label21->palette();
    bar.setColor(QPalette::Window, QColor(255, 224, 192));
    Label21->setPalette(bar);
    Form_Load();
}

// Every opening starts as a fresh window: nothing of the last import shows.
void Form5::Form_Load() {
    HideImportResults();
    List1->clear();
    Label1->clear();
    Label2->clear();
    Label22->clear();
    Label21->resize(0, Label21->height());
    StatusBar1->clearMessage();
}

int Form5::exec() {
    // Before it is shown: a change of a shown window's frame would hide it.
    RemoveSystemMenuItem(this, 5);
    return QDialog::exec();
}

void Form5::SetStartWaitMilliseconds(int milliseconds) {
    StartWaitMilliseconds() = milliseconds;
}

void Form5::buildControls() {
    Label30 = Caption(this, "Label30", QStringLiteral("お気に入りファイル"), {12, 10, 300, 20});
    List1 = Named<QListWidget>(this, "List1", {12, 32, kWidth - 24, 160});
    List1->setUniformItemSizes(true);
    List1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    ShowFocusFrame(List1);
    Line1 = Rule(this, "Line1", 200);
    Label31 = Caption(this, "Label31", QStringLiteral("進捗状況"), {12, 208, 300, 20});
    Label20 = Named<QLabel>(this, "Label20", {12, 232, kTrackWidth, 22});
    Label20->setFrameShape(QFrame::Panel);
    Label20->setFrameShadow(QFrame::Sunken);
    Label21 = Named<QLabel>(this, "Label21", {12, 232, kTrackWidth, 22});
    Label22 = Named<QLabel>(this, "Label22", {12, 232, kTrackWidth, 22});
    Line2 = Rule(this, "Line2", 264);
    Label11 = Caption(this, "Label11", QStringLiteral("URL："), {12, 274, 80, 20});
    Label1 = Named<QLabel>(this, "Label1", {92, 274, kWidth - 104, 20});
    Label12 = Caption(this, "Label12", QStringLiteral("タイトル："), {12, 298, 80, 20});
    Label2 = Named<QLabel>(this, "Label2", {92, 298, kWidth - 104, 20});
    Line3 = Rule(this, "Line3", 326);
    Label32 = Caption(this, "Label32", QStringLiteral("ステータス"), {12, 334, 300, 20});
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QLabel** counts[] = {&Label3, &Label4, &Label5, &Label6};
    QLabel** headings[] = {&Label13, &Label14, &Label15, &Label16};
    const char* countNames[] = {"Label3", "Label4", "Label5", "Label6"};
    const char* headingNames[] = {"Label13", "Label14", "Label15", "Label16"};
    const QString headingTexts[] = {QStringLiteral("検出数："), QStringLiteral("登録数："),
                                    QStringLiteral("既存数："), QStringLiteral("エラー数：")};
    for (int i = 0; i < 4; ++i) {
        int y = 358 + 24 * i;
        *headings[i] = Caption(this, headingNames[i], headingTexts[i], {24, y, 90, 20});
        *counts[i] = Named<QLabel>(this, countNames[i], {114, y, 64, 20});
        (*counts[i])->setFont(fixed);
        (*counts[i])->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    Label7 = Named<QLabel>(this, "Label7", {196, 358, kWidth - 208, 20});
    Label8 = Named<QLabel>(this, "Label8", {196, 382, kWidth - 208, 20});
    Label9 = Named<QLabel>(this, "Label9", {196, 406, kWidth - 208, 20});
    Line4 = Rule(this, "Line4", 454);
    Command2 = Named<QPushButton>(this, "Command2", {kWidth - 112, 462, 100, 28});
    Command2->setText(QStringLiteral("OK"));
    Command2->setDefault(true);
    StatusBar1 = Named<QStatusBar>(this, "StatusBar1", {0, 494, kWidth, 22});
    StatusBar1->setSizeGripEnabled(false);
    connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);
    connect(List1, &QListWidget::itemClicked, this, &Form5::List1_Click);
}

void Form5::HideImportResults() {
    for (QLabel* label : {Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label13, Label14,
                          Label15, Label16}) {
        label->setVisible(false);
    }
}

void Form5::ShowImportResults() {
    for (QLabel* label : {Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label13, Label14,
                          Label15, Label16}) {
        label->setVisible(true);
    }
}

QString Form5::statusText() const {
    return StatusBar1->currentMessage();
}

void Form5::setStatus(std::string_view text) {
    StatusBar1->showMessage(ToQString(text));
}

void Form5::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The import starts once the window is up, as its activation does.
    if (!activated_) {
        activated_ = true;
        Form_Load();
        QTimer::singleShot(0, this, &Form5::Form_Activate);
    }
}

void Form5::Form_Activate() {
    if (isVisible()) {
        ImportFavorites();
    }
}

void Form5::reject() {
    if (IsClosingByProgram(this)) {
        QDialog::reject();
        return;
    }
    Command2_Click();
}

void Form5::Command2_Click() {
    QString status = statusText();
    if (status.isEmpty() || status == ToQString(FavoritesMessages::Done) ||
        state_.ImportCancelRequested) {
        activated_ = false;
        CloseByProgram(this);
        return;
    }
    state_.ImportCancelRequested = true;
    setStatus(FavoritesMessages::Stopped);
}

void Form5::List1_Click() {
    if (QListWidgetItem* item = List1->currentItem()) {
        QByteArray bytes = item->data(Qt::UserRole).toByteArray();
        ReadFavoriteFile(std::filesystem::path(bytes.toStdString()));
    }
}

bool Form5::ReadFavoriteFile(const std::filesystem::path& path) {
    std::optional<Favorite> favorite = tomorine::ReadFavoriteFile(path, state_);
    if (!favorite) {
        return false;
    }
    showFavorite(favorite->url, favorite->name);
    return true;
}

void Form5::showFavorite(const std::u16string& url, const std::u16string& name) {
    Label1->setText(ToQString(url));
    Label2->setText(ToQString(name));
    Label1->repaint();
    Label2->repaint();
}

void Form5::addFileLine(const std::filesystem::path& path) {
    // The line shows the path; its item keeps the file name's bytes, which
    // need not be UTF-8.
    auto* item = new QListWidgetItem(QString::fromStdString(path.native()));
    item->setData(Qt::UserRole, QByteArray::fromStdString(path.native()));
    List1->addItem(item);
    List1->scrollToBottom();
    List1->repaint();
}

void Form5::setPercent(int percent) {
    Label21->resize(percent * Label20->width() / 100, Label21->height());
    Label22->setText(QString::number(percent) + QStringLiteral(" %"));
}

ImportUi Form5::importUi() {
    ImportUi ui;
    ui.addFile = [this](const std::filesystem::path& path) { addFileLine(path); };
    ui.showFavorite = [this](const Favorite& f) { showFavorite(f.url, f.name); };
    ui.setProgress = [this](int percent) { setPercent(percent); };
    ui.processEvents = [] { QCoreApplication::processEvents(); };
    return ui;
}

std::filesystem::path Form5::favoritesFolder() {
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

void Form5::ImportFavorites() {
    setStatus(FavoritesMessages::Reading);
    WaitKeepingEvents(StartWaitMilliseconds());
    ResetImportCounts(state_, state_);
    std::filesystem::path folder = favoritesFolder();
    if (folder.empty()) {
        return;
    }
    if (beforeImport) {
        beforeImport();
    }
    ImportContext context{state_, state_, state_, importUi()};
    ImportOutcome outcome = RunFavoritesImport(context, folder);
    if (outcome.failure) {
        // What is in the data file is shown; OK then closes at once.
        state_.ImportCancelRequested = true;
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

void Form5::showSummary(const ImportOutcome& outcome) {
    Label3->setText(ToQString(CountCaption(outcome.found)));
    Label4->setText(ToQString(CountCaption(state_.RegisteredCount)));
    Label5->setText(ToQString(CountCaption(state_.ExistingCount)));
    Label6->setText(ToQString(CountCaption(state_.ShortcutErrorCount)));
    ImportNotices notices = NoticesFor(state_, state_.SkippedCount, outcome.unreadableFolders);
    Label7->setText(ToQString(notices.unreadable.empty() || notices.skipped.empty()
                                  ? notices.unreadable + notices.skipped
                                  : notices.unreadable + "\n" + notices.skipped));
    Label8->setText(ToQString(notices.namesTooLong));
    Label9->setText(ToQString(notices.noTargets));
    ShowImportResults();
}

} // namespace tomorine
