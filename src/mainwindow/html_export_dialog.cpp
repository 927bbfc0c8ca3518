#include "mainwindow/html_export_dialog.h"

#include "bookmarks/netscape_writer.h"
#include "htmlexport/html_list_writer.h"
#include "mainwindow/dialog_keys.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/message_box.h"
#include "mainwindow/named_widget.h"
#include "mainwindow/path_field_chooser.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/select_all_on_focus.h"
#include "mainwindow/tab_order.h"
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

HtmlExportDialog::HtmlExportDialog(SettingsValues& settings, const std::filesystem::path& dataFile,
                                   const SearchSession& search, QWidget* mainWindow,
                                   std::function<SearchTexts()> searchFields)
    : QWidget(mainWindow, Qt::Dialog), settings_(settings), dataFile_(dataFile), search_(search),
      mainWindow_(mainWindow), searchFields_(std::move(searchFields)) {
    setObjectName(QStringLiteral("HtmlExportDialog"));
    setWindowTitle(QStringLiteral("トモリネ"));
    pathLabel = Named<QLabel>(this, "pathLabel", QStringLiteral("出力パス"));
    pathField = Named<QLineEdit>(this, "pathField");
    pathField->setMinimumWidth(360);
    pathField->installEventFilter(new SelectAllOnFocus(this));
    pathLabel->setBuddy(pathField);
    browseButton = Named<QPushButton>(this, "browseButton");
    browseButton->setIcon(QIcon::fromTheme(QStringLiteral("document-open-folder"),
                                           style()->standardIcon(QStyle::SP_DirOpenIcon)));
    browseButton->setIconSize(QSize(16, 16));
    browseButton->setToolTip(QStringLiteral("出力ファイルの指定"));
    commentsBox = Named<QCheckBox>(this, "commentsBox", QStringLiteral("コメントを出力する"));
    bookmarkFormatBox = Named<QCheckBox>(this, "bookmarkFormatBox",
                                         QStringLiteral("ブラウザ用のブックマーク形式で出力する"));
    okButton = Named<QPushButton>(this, "okButton", QStringLiteral("OK"));
    okButton->setMinimumWidth(96);
    progressBar = Named<QProgressBar>(this, "progressBar");
    progressBar->setTextVisible(false);
    progressBar->setMaximumHeight(8);
    progressBar->setValue(0);
    statusLabel = Named<QLabel>(this, "statusLabel");

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 14, 14, 14);
    grid->addWidget(pathLabel, 0, 0);
    auto* path = new QHBoxLayout;
    path->addWidget(pathField, 1);
    path->addWidget(browseButton);
    grid->addLayout(path, 0, 1, 1, 2);
    grid->addWidget(commentsBox, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->addWidget(okButton, 1, 2);
    grid->addWidget(bookmarkFormatBox, 2, 1);
    grid->addWidget(progressBar, 3, 0, 1, 3);
    grid->addWidget(statusLabel, 4, 0, 1, 3);
    SetTabChain({pathField, browseButton, commentsBox, bookmarkFormatBox, okButton});

    InstallDialogKeys(this, okButton);
    connect(browseButton, &QPushButton::clicked, this, &HtmlExportDialog::browse);
    connect(okButton, &QPushButton::clicked, this, &HtmlExportDialog::run);
}

void HtmlExportDialog::browse() {
    ChooseIntoPathField(
        this, pathField, ChooseFile, QStringLiteral("出力ファイルの指定"),
        {QStringLiteral("HTML ファイル (*.htm *.html)"), QStringLiteral("すべてのファイル (*)")});
}

void HtmlExportDialog::setControlsEnabled(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             browseButton, okButton, pathLabel, pathField, commentsBox, bookmarkFormatBox}) {
        control->setEnabled(enabled);
    }
}

// COMMOUT then OUTPUTFILE, to the program folder's file and then to the one
// beside the data file. A settings file that cannot be written is passed
// over: the page is what the user asked for.
void HtmlExportDialog::storeSettings() {
    const std::string comment = settings_.commentOutput ? "1" : "0";
    const std::string& path = settings_.outputFile;
    for (const std::string& ini :
         {GetAppDir() + std::string(kSettingsFileName), GetIniPath(dataFile_.string())}) {
        WriteIniString(ini, kSettingsSection, kCommentOutputKey, comment);
        WriteIniString(ini, kSettingsSection, kOutputFileKey, path);
    }
}

// Runs `write` under the wait cursor; false when it failed, its description
// shown. `write` returns how many entries it wrote (none when the last search
// left nothing).
bool HtmlExportDialog::writeOutput(const std::function<int()>& write) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        const int wrote = write();
        QApplication::restoreOverrideCursor();
        statusLabel->setText(QStringLiteral("作成完了 %1件").arg(wrote));
        if (wrote == 0) {
            MessageBox(this, ToQString(Messages::NoData), MessageStyle::Ok);
        }
        return true;
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        statusLabel->clear();
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        return false;
    }
}

bool HtmlExportDialog::writePage() {
    HtmlListRequest request;
    request.searchUrl = search_.savedSearchUrl;
    request.searchTexts = searchFields_();
    request.commentOutput = settings_.commentOutput;
    request.outputPath = ToPath(pathField->text());
    int shown = -1;
    request.progress = [this, &shown](long done, long total) {
        const int percent = static_cast<int>(done * 100 / total);
        if (percent != shown) {
            shown = percent;
            progressBar->setValue(percent);
            progressBar->repaint();
        }
    };
    return writeOutput([&] {
        const HtmlListResult result = WriteHtmlList(dataFile_, request);
        return result.noData ? 0 : result.entriesWritten;
    });
}

// The rows of the last search that match the fields, as a bookmark file;
// the module connection and its result stay as they are.
bool HtmlExportDialog::writeBookmarks() {
    return writeOutput([&] {
        std::vector<Entry> entries;
        if (search_.savedSearchUrl) {
            entries = SearchedEntries(dataFile_, *search_.savedSearchUrl, searchFields_());
        }
        if (!entries.empty()) {
            WriteNetscapeBookmarks(entries, ToPath(pathField->text()));
        }
        return static_cast<int>(entries.size());
    });
}

void HtmlExportDialog::run() {
    mainWindow_->repaint();
    if (pathField->text().isEmpty()) {
        MessageBox(this, QStringLiteral("ファイルパスを指定してください"), MessageStyle::Ok);
        return;
    }
    RemoveSystemMenuItem(this, 5);
    setControlsEnabled(false);
    progressBar->setValue(0);
    statusLabel->setText(QStringLiteral("処理中です"));
    repaint();
    settings_.commentOutput = commentsBox->isChecked();
    settings_.outputFile = pathField->text().toStdString();
    storeSettings();
    const bool bookmarks = bookmarkFormatBox->isChecked();
    const bool written = bookmarks ? writeBookmarks() : writePage();
    // After a failure the dialog stays, so that the path can be mended.
    if (written) {
        hide();
    }
    RemoveSystemMenuItem(this, 0, true);
    setControlsEnabled(true);
    progressBar->setValue(0);
    if (written) {
        MessageBox(mainWindow_, QStringLiteral("作成完了"), MessageStyle::Ok);
    }
}

void HtmlExportDialog::closeEvent(QCloseEvent* event) {
    if (IsClosingByProgram(this)) {
        event->accept();
        return;
    }
    pathField->setText(QString::fromStdString(settings_.outputFile));
    commentsBox->setChecked(settings_.commentOutput);
    event->ignore();
    hide();
}

} // namespace tomorine
