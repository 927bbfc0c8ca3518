#include "mainwindow/form2.h"

#include "bookmarks/netscape_writer.h"
#include "htmlexport/html_list_writer.h"
#include "mainwindow/dialog_keys.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "mainwindow/named_widget.h"
#include "mainwindow/path_field_chooser.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/select_all_on_focus.h"
#include "mainwindow/window_menu.h"
#include "search/search_session.h"
#include "store/message_style.h"
#include "store/messages.h"
#include "store/settings/app_dir.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace tomorine {

Form2::Form2(ModuleState& state, const SearchSession& search, QWidget* mainWindow,
             std::function<SearchTexts()> searchFields)
    : QWidget(mainWindow, Qt::Dialog), state_(state), search_(search), mainWindow_(mainWindow),
      searchFields_(std::move(searchFields)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("トモリネ"));
    Label1 = Named<QLabel>(this, "Label1");
    Label1->setText(QStringLiteral("出力パス"));
    Text1 = Named<QLineEdit>(this, "Text1");
    Text1->setMinimumWidth(360);
    Text1->installEventFilter(new SelectAllOnFocus(this));
    Label1->setBuddy(Text1);
    Command1 = Named<QPushButton>(this, "Command1");
    Command1->setIcon(QIcon::fromTheme(QStringLiteral("document-open-folder"),
                                       style()->standardIcon(QStyle::SP_DirOpenIcon)));
    Command1->setIconSize(QSize(16, 16));
    Command1->setToolTip(QStringLiteral("出力ファイルの指定"));
    Check1 = Named<QCheckBox>(this, "Check1");
    Check1->setText(QStringLiteral("コメントを出力する"));
    Check2 = Named<QCheckBox>(this, "Check2");
    Check2->setText(QStringLiteral("ブラウザ用のブックマーク形式で出力する"));
    Command2 = Named<QPushButton>(this, "Command2");
    Command2->setText(QStringLiteral("OK"));
    Command2->setMinimumWidth(96);
    ProgressBar1 = Named<QProgressBar>(this, "ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumHeight(8);
    ProgressBar1->setValue(0);
    Label2 = Named<QLabel>(this, "Label2");

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 14, 14, 14);
    grid->addWidget(Label1, 0, 0);
    auto* path = new QHBoxLayout;
    path->addWidget(Text1, 1);
    path->addWidget(Command1);
    grid->addLayout(path, 0, 1, 1, 2);
    grid->addWidget(Check1, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->addWidget(Command2, 1, 2);
    grid->addWidget(Check2, 2, 1);
    grid->addWidget(ProgressBar1, 3, 0, 1, 3);
    grid->addWidget(Label2, 4, 0, 1, 3);
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Check1);
    setTabOrder(Check1, Check2);
    setTabOrder(Check2, Command2);

    InstallDialogKeys(this, Command2);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
}

void Form2::Command1_Click() {
    ChooseIntoPathField(
        this, Text1, ChooseFile, QStringLiteral("出力ファイルの指定"),
        {QStringLiteral("HTML ファイル (*.htm *.html)"), QStringLiteral("すべてのファイル (*)")});
}

void Form2::setControlsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{Command1, Command2, Label1, Text1, Check1, Check2}) {
        control->setEnabled(enabled);
    }
}

// COMMOUT then OUTPUTFILE, to the program folder's file and then to the one
// beside the data file. A settings file that cannot be written is passed
// over: the page is what the user asked for.
void Form2::storeSettings() {
    const std::string comment = state_.CommentOutput ? "1" : "0";
    const std::string& path = state_.OutputFilePath;
    for (const std::string& ini :
         {GetAppDir() + std::string(kSettingsFileName), GetIniPath(state_.DataFilePath.string())}) {
        WriteIniString(ini, kSettingsSection, kCommentOutputKey, comment);
        WriteIniString(ini, kSettingsSection, kOutputFileKey, path);
    }
}

// Runs `write` under the wait cursor; false when it failed, its description
// shown. `write` returns how many entries it wrote (none when the last search
// left nothing).
bool Form2::writeOutput(const std::function<int()>& write) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        const int wrote = write();
        QApplication::restoreOverrideCursor();
        Label2->setText(QStringLiteral("作成完了 %1件").arg(wrote));
        if (wrote == 0) {
            MessageBox(this, ToQString(Messages::NoData), MessageStyle::Ok);
        }
        return true;
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        Label2->clear();
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        return false;
    }
}

bool Form2::writePage() {
    HtmlListRequest request;
    request.searchUrl = search_.SavedSearchUrl;
    request.searchTexts = searchFields_();
    request.commentOutput = state_.CommentOutput;
    request.outputPath = ToPath(Text1->text());
    int shown = -1;
    request.progress = [this, &shown](long done, long total) {
        const int percent = static_cast<int>(done * 100 / total);
        if (percent != shown) {
            shown = percent;
            ProgressBar1->setValue(percent);
            ProgressBar1->repaint();
        }
    };
    return writeOutput([&] {
        const HtmlListResult result = WriteHtmlList(state_.DataFilePath, request);
        return result.noData ? 0 : result.entriesWritten;
    });
}

// The rows of the last search that match the fields, as a bookmark file;
// the module connection and its result stay as they are.
bool Form2::writeBookmarks() {
    return writeOutput([&] {
        std::vector<Entry> entries;
        if (search_.SavedSearchUrl) {
            entries =
                SearchedEntries(state_.DataFilePath, *search_.SavedSearchUrl, searchFields_());
        }
        if (!entries.empty()) {
            WriteNetscapeBookmarks(entries, ToPath(Text1->text()));
        }
        return static_cast<int>(entries.size());
    });
}

void Form2::Command2_Click() {
    mainWindow_->repaint();
    if (Text1->text().isEmpty()) {
        MessageBox(this, QStringLiteral("ファイルパスを指定してください"), MessageStyle::Ok);
        return;
    }
    RemoveSystemMenuItem(this, 5);
    setControlsEnabled(false);
    ProgressBar1->setValue(0);
    Label2->setText(QStringLiteral("処理中です"));
    repaint();
    state_.CommentOutput = Check1->isChecked();
    state_.OutputFilePath = Text1->text().toStdString();
    storeSettings();
    const bool bookmarks = Check2->isChecked();
    const bool written = bookmarks ? writeBookmarks() : writePage();
    // After a failure the dialog stays, so that the path can be mended.
    if (written) {
        hide();
    }
    RemoveSystemMenuItem(this, 0, true);
    setControlsEnabled(true);
    ProgressBar1->setValue(0);
    if (written) {
        MessageBox(mainWindow_, QStringLiteral("作成完了"), MessageStyle::Ok);
    }
}

void Form2::closeEvent(QCloseEvent* event) {
    if (IsClosingByProgram(this)) {
        event->accept();
        return;
    }
    Text1->setText(QString::fromStdString(state_.OutputFilePath));
    Check1->setChecked(state_.CommentOutput);
    event->ignore();
    hide();
}

} // namespace tomorine
