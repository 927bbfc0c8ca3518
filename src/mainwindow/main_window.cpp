#include "mainwindow/main_window.h"

#include "mainwindow/conversion_progress.h"
#include "mainwindow/deletion_notice.h"
#include "mainwindow/dialog_keys.h"
#include "mainwindow/favorites_import_dialog.h"
#include "mainwindow/focus_frame.h"
#include "mainwindow/html_export_dialog.h"
#include "mainwindow/link_check_dialog.h"
#include "mainwindow/merge_dialog.h"
#include "mainwindow/named_widget.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/select_all_on_focus.h"
#include "mainwindow/tab_order.h"
#include "search/search_texts.h"
#include "store/settings/path_routines.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace tomorine {

namespace {

QFont ListFont() {
    QFont font(QStringLiteral("Noto Sans Mono CJK JP"));
    font.setFamilies({QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("ＭＳ ゴシック"),
                      QStringLiteral("MS Gothic"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    return font;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("トモリネ"));
    buildControls();
    layoutControls();
    connectControls();
    htmlExportDialog = new HtmlExportDialog(settings_, store_.dataFilePath, search_, this,
                                            [this] { return fieldTexts(); });
    linkCheckDialog = new LinkCheckDialog(store_.dataFilePath, *this, this);
    favoritesImportDialog = new FavoritesImportDialog(store_, this);
    favoritesImportDialog->beforeImport = [this] { search_.releaseRows(); };
    SetMainWindowTabOrder(*this);
    deletionNotice = new DeletionNotice(this);
    conversionProgress = new ConversionProgress(upgrade_, this);
    mergeDialog = new MergeDialog(settings_.referFile, store_, upgrade_, *this);
    resize(820, 640);
    installDropTargets();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls() {
    const auto command = [this](const char* name, const QString& caption,
                                void (MainWindow::*run)()) {
        auto* button = Named<QPushButton>(this, name, caption);
        connect(button, &QPushButton::clicked, this, run);
        return button;
    };
    searchButton = command("searchButton", QStringLiteral("検索"), &MainWindow::runSearch);
    registerButton =
        command("registerButton", QStringLiteral("登録"), &MainWindow::registerOrUpdate);
    openUrlButton = command("openUrlButton", QStringLiteral("表示"), &MainWindow::openEntryUrl);
    clearButton = command("clearButton", QStringLiteral("クリア"), &MainWindow::clearEditor);
    okButton = command("okButton", QStringLiteral("OK"), &MainWindow::saveAndClose);
    deleteButton = command("deleteButton", QStringLiteral("削除"), &MainWindow::deleteEntry);
    htmlExportButton =
        command("htmlExportButton", QStringLiteral("HTML作成"), &MainWindow::openHtmlExport);
    captureButton =
        command("captureButton", QStringLiteral("IE取得"), &MainWindow::captureBrowserPage);
    mergeButton = command("mergeButton", QStringLiteral("データマージ"), &MainWindow::openMerge);
    keywordListButton =
        command("keywordListButton", QStringLiteral("キーワード一覧"), &MainWindow::listKeywords);
    linkCheckButton =
        command("linkCheckButton", QStringLiteral("リンクチェック"), &MainWindow::openLinkCheck);
    favoritesImportButton = command("favoritesImportButton", QStringLiteral("お気に入りインポート"),
                                    &MainWindow::openFavoritesImport);
    browserImportButton = command("browserImportButton", QStringLiteral("ブラウザ取込"),
                                  &MainWindow::openBrowserImport);
    dataFileButton = command("dataFileButton", QString(), &MainWindow::chooseDataFile);
    dataFileButton->setIcon(QIcon::fromTheme(QStringLiteral("document-open-folder"),
                                             style()->standardIcon(QStyle::SP_DirOpenIcon)));
    dataFileButton->setToolTip(QStringLiteral("データファイルの指定"));

    auto* selectAll = new SelectAllOnFocus(this);
    for (QLineEdit** field :
         {&urlField, &titleField, &subtitleField, &keywordsField, &dataFileField}) {
        *field = new QLineEdit(this);
        (*field)->installEventFilter(selectAll);
    }
    urlField->setObjectName(QStringLiteral("urlField"));
    titleField->setObjectName(QStringLiteral("titleField"));
    subtitleField->setObjectName(QStringLiteral("subtitleField"));
    keywordsField->setObjectName(QStringLiteral("keywordsField"));
    dataFileField->setObjectName(QStringLiteral("dataFileField"));
    commentField = Named<QPlainTextEdit>(this, "commentField");
    commentField->installEventFilter(selectAll);
    commentField->setTabChangesFocus(true);

    listCaptionLabel = Named<QLabel>(this, "listCaptionLabel");
    urlLabel = Named<QLabel>(this, "urlLabel", QStringLiteral("URL"));
    titleLabel = Named<QLabel>(this, "titleLabel", QStringLiteral("タイトル"));
    subtitleLabel = Named<QLabel>(this, "subtitleLabel", QStringLiteral("サブタイトル"));
    keywordsLabel = Named<QLabel>(this, "keywordsLabel", QStringLiteral("キーワード"));
    commentLabel = Named<QLabel>(this, "commentLabel", QStringLiteral("コメント"));
    dataFileLabel = Named<QLabel>(this, "dataFileLabel", QStringLiteral("データファイルパス"));
    hitCountLabel = Named<QLabel>(this, "hitCountLabel");
    hitCountLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    resultList = Named<QListWidget>(this, "resultList");
    resultList->setFont(ListFont());
    resultList->setUniformItemSizes(true);
    // One scroll step per line, so that the scroll position is the top line.
    resultList->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    ShowFocusFrame(resultList);

    commands_ = {captureButton,     searchButton,    registerButton,        openUrlButton,
                 keywordListButton, deleteButton,    clearButton,           htmlExportButton,
                 mergeButton,       linkCheckButton, favoritesImportButton, browserImportButton};
    resetListCaption();
}

void MainWindow::layoutControls() {
    auto* fields = new QGridLayout;
    QLabel* labels[] = {urlLabel, titleLabel, subtitleLabel, keywordsLabel, commentLabel};
    QWidget* editors[] = {urlField, titleField, subtitleField, keywordsField, commentField};
    for (int row = 0; row < 5; ++row) {
        labels[row]->setBuddy(editors[row]);
        fields->addWidget(labels[row], row, 0, row == 4 ? Qt::AlignTop : Qt::Alignment());
        fields->addWidget(editors[row], row, 1);
    }
    commentField->setFixedHeight(urlField->sizeHint().height() * 3);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button :
         {searchButton, registerButton, clearButton, openUrlButton, deleteButton}) {
        button->setMinimumWidth(112);
        buttons->addWidget(button);
    }
    buttons->addStretch();

    auto* editor = new QHBoxLayout;
    editor->addLayout(fields, 1);
    editor->addSpacing(12);
    editor->addLayout(buttons);

    auto* tools = new QHBoxLayout;
    for (QPushButton* button : {captureButton, htmlExportButton, mergeButton, keywordListButton,
                                linkCheckButton, favoritesImportButton, browserImportButton}) {
        tools->addWidget(button);
    }
    tools->addStretch();

    auto* listCaption = new QHBoxLayout;
    listCaption->addWidget(listCaptionLabel);
    listCaption->addStretch();
    listCaption->addWidget(hitCountLabel);

    auto* dataFile = new QHBoxLayout;
    dataFile->addWidget(dataFileLabel);
    dataFile->addWidget(dataFileField, 1);
    dataFile->addWidget(dataFileButton);
    dataFile->addSpacing(12);
    okButton->setMinimumWidth(112);
    dataFile->addWidget(okButton);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(14, 14, 14, 14);
    page->addLayout(editor);
    page->addSpacing(6);
    page->addLayout(tools);
    page->addSpacing(8);
    page->addLayout(listCaption);
    page->addWidget(resultList, 1);
    page->addSpacing(6);
    page->addLayout(dataFile);
}

void MainWindow::connectControls() {
    // Enter searches from the search fields; the data file path has none, so
    // that Enter there never reaches OK, which ends the program.
    for (QLineEdit* field : {urlField, titleField, subtitleField, keywordsField}) {
        connect(field, &QLineEdit::returnPressed, searchButton, &QPushButton::click);
    }
    InstallCtrlEnter(commentField, searchButton);
    // A new line selected by mouse or keyboard loads its entry at once; a
    // press on the line already selected loads it again, as a click does.
    connect(resultList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            resultSelected();
            loadedByPress_ = QApplication::mouseButtons() != Qt::NoButton;
        }
    });
    connect(resultList, &QListWidget::itemPressed, this, [this] {
        if (!loadedByPress_) {
            resultSelected();
        }
        loadedByPress_ = false;
    });
    connect(resultList, &QListWidget::itemDoubleClicked, this, &MainWindow::openEntryUrl);
}

void MainWindow::clearEntryForm() {
    resultList->clear();
    urlField->clear();
    titleField->clear();
    subtitleField->clear();
    keywordsField->clear();
    commentField->clear();
    hitCountLabel->clear();
    repaint();
}

void MainWindow::resetListCaption() {
    keywordListMode_ = false;
    showListCaption(QStringLiteral("検出サイトList"), false);
}

void MainWindow::showListCaption(const QString& text, bool bold) {
    listCaptionLabel->setText(text);
    QFont font = listCaptionLabel->font();
    font.setBold(bold);
    listCaptionLabel->setFont(font);
    QPalette palette = listCaptionLabel->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
    listCaptionLabel->setPalette(palette);
}

void MainWindow::setCommandsEnabled(bool enabled) {
    for (QPushButton* command : commands_) {
        command->setEnabled(enabled);
    }
}

void MainWindow::saveListPosition() {
    savedListTop_ = resultList->verticalScrollBar()->value();
    savedListIndex_ = resultList->currentRow();
}

void MainWindow::restoreListTop() {
    // The list lays out new lines lazily; lay them out now so that the scroll
    // range takes the saved top line.
    resultList->doItemsLayout();
    resultList->verticalScrollBar()->setValue(savedListTop_);
}

void MainWindow::restoreListPosition() {
    restoreListTop();
    // A list that got shorter than the saved line cannot get it back.
    if (savedListIndex_ >= 0 && savedListIndex_ < resultList->count()) {
        selectListIndex(savedListIndex_);
    }
}

void MainWindow::selectListIndex(int index) {
    {
        QSignalBlocker quiet(resultList);
        resultList->setCurrentRow(index);
    }
    resultSelected();
}

SearchTexts MainWindow::fieldTexts() const {
    return SearchTexts{ToU16(urlField->text()), ToU16(titleField->text()),
                       ToU16(subtitleField->text()), ToU16(keywordsField->text()), commentText()};
}

// Line breaks in a comment are stored as CR LF, as the workbooks written on
// Windows hold them; the editor itself works with LF.
std::u16string MainWindow::commentText() const {
    QString text = commentField->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToU16(text);
}

void MainWindow::refreshDataFilePath() {
    store_.dataFilePath = GetAbsolutePath(dataFileField->text().toStdString());
}

} // namespace tomorine
