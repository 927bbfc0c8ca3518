#include "mainwindow/link_check_dialog.h"

#include "linkcheck/link_check_messages.h"
#include "mainwindow/focus_frame.h"
#include "mainwindow/message_box.h"
#include "mainwindow/named_widget.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/url_open_seam.h"
#include "mainwindow/window_menu.h"
#include "store/message_style.h"
#include "store/messages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tomorine {

namespace {

UrlOpenSeam& UrlOpener() {
    static UrlOpenSeam seam;
    return seam;
}

} // namespace

void LinkCheckDialog::setOpenUrl(std::function<bool(const QUrl&)> open) {
    UrlOpener().set(std::move(open));
}

LinkCheckDialog::LinkCheckDialog(const std::filesystem::path& dataFile, MainWindow& mainWindow,
                                 QWidget* parent)
    : QDialog(parent), dataFile_(dataFile), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("LinkCheckDialog"));
    setWindowTitle(QStringLiteral("リンク切れチェック"));
    setModal(true);
    buildControls();
    load();
}

void LinkCheckDialog::buildControls() {
    listCaptionLabel = Named<QLabel>(this, "listCaptionLabel", QStringLiteral("リンク切れURL一覧"));
    lineCountLabel = Named<QLabel>(this, "lineCountLabel");
    lineCountLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    deadLinkList = Named<QTreeWidget>(this, "deadLinkList");
    deadLinkList->setColumnCount(2);
    deadLinkList->setHeaderLabels({QStringLiteral("データ"), QStringLiteral("理由")});
    deadLinkList->header()->resizeSection(0, 300);
    deadLinkList->setRootIsDecorated(false);
    deadLinkList->setSelectionMode(QAbstractItemView::MultiSelection);
    deadLinkList->setUniformRowHeights(true);
    deadLinkList->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    ShowFocusFrame(deadLinkList);
    urlField = Named<QLineEdit>(this, "urlField");
    selectAllButton = Named<QPushButton>(this, "selectAllButton", QStringLiteral("全選択"));
    deselectAllButton = Named<QPushButton>(this, "deselectAllButton", QStringLiteral("全解除"));
    openUrlButton = Named<QPushButton>(this, "openUrlButton", QStringLiteral("表示"));
    deleteButton = Named<QPushButton>(this, "deleteButton", QStringLiteral("削除実行"));
    okButton = Named<QPushButton>(this, "okButton", QStringLiteral("OK"));
    statusBar = Named<QStatusBar>(this, "statusBar");
    statusBar->setSizeGripEnabled(false);
    progressLabel = Named<QLabel>(this, "progressLabel");
    progressBar = Named<QProgressBar>(this, "progressBar");
    progressBar->setTextVisible(false);
    progressBar->setMaximumWidth(120);
    progressBar->setValue(0);
    statusBar->addPermanentWidget(progressLabel);
    statusBar->addPermanentWidget(progressBar);
    for (QPushButton* button :
         {selectAllButton, deselectAllButton, openUrlButton, deleteButton, okButton}) {
        button->setAutoDefault(false);
    }
    // Enter on a line shows it, as a double click does.
    openUrlButton->setDefault(true);

    auto* caption = new QHBoxLayout;
    caption->addWidget(listCaptionLabel);
    caption->addStretch();
    caption->addWidget(lineCountLabel);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {selectAllButton, deselectAllButton, openUrlButton, deleteButton}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(okButton);
    auto* page = new QVBoxLayout(this);
    page->addLayout(caption);
    page->addWidget(deadLinkList, 1);
    page->addWidget(urlField);
    page->addLayout(buttons);
    page->addWidget(statusBar);
    resize(560, 420);

    connect(deadLinkList, &QTreeWidget::itemClicked, this, &LinkCheckDialog::lineSelected);
    connect(deadLinkList, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current != nullptr) {
            lineSelected();
        }
    });
    connect(deadLinkList, &QTreeWidget::itemDoubleClicked, this,
            &LinkCheckDialog::lineDoubleClicked);
    connect(selectAllButton, &QPushButton::clicked, this, &LinkCheckDialog::selectAllLines);
    connect(deselectAllButton, &QPushButton::clicked, this, &LinkCheckDialog::deselectAllLines);
    connect(openUrlButton, &QPushButton::clicked, this, &LinkCheckDialog::openSelectedUrl);
    connect(deleteButton, &QPushButton::clicked, this, &LinkCheckDialog::deleteSelected);
    connect(okButton, &QPushButton::clicked, this, &LinkCheckDialog::finish);
}

void LinkCheckDialog::load() {
    lineCountLabel->clear();
}

void LinkCheckDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The check starts once the window is on the screen, once per opening:
    // the window system's own shows (a restore, say) start none.
    if (!event->spontaneous()) {
        QTimer::singleShot(0, this, &LinkCheckDialog::activate);
    }
}

void LinkCheckDialog::activate() {
    if (isVisible() && !running_) {
        runLinkCheck();
    }
}

void LinkCheckDialog::reject() {
    finish();
}

bool LinkCheckDialog::event(QEvent* event) {
    if (event->type() == CloseRefusedEventType() && running_) {
        statusBar->showMessage(ToQString(LinkCheckMessages::OkStops));
        noticeShown_.start();
        return true;
    }
    return QDialog::event(event);
}

void LinkCheckDialog::setLinkCommandsEnabled(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             deadLinkList, selectAllButton, deselectAllButton, openUrlButton, deleteButton}) {
        control->setEnabled(enabled);
    }
}

void LinkCheckDialog::lineSelected() {
    if (deadLinkList->topLevelItemCount() == 0 || deadLinkSelecting ||
        deadLinkList->currentItem() == nullptr) {
        return;
    }
    urlField->setText(deadLinkList->currentItem()->data(0, kUrlRole).toString());
}

void LinkCheckDialog::lineDoubleClicked() {
    openSelectedUrl();
}

void LinkCheckDialog::selectAllLines() {
    const QScopedValueRollback<bool> selecting(deadLinkSelecting, true);
    deadLinkList->selectAll();
}

void LinkCheckDialog::deselectAllLines() {
    const QScopedValueRollback<bool> selecting(deadLinkSelecting, true);
    deadLinkList->clearSelection();
}

void LinkCheckDialog::openSelectedUrl() {
    if (urlField->text().isEmpty()) {
        MessageBox(this, ToQString(Messages::NoUrl), MessageStyle::Ok);
        return;
    }
    UrlOpener().openTyped(this, urlField->text());
}

void LinkCheckDialog::finish() {
    running_ = false;
    hide();
}

void LinkCheckDialog::showLineCount() {
    lineCountLabel->setText(ToQString(LinkCheckMessages::LineCountCaption(
        static_cast<std::size_t>(deadLinkList->topLevelItemCount()))));
}

void LinkCheckDialog::setForegroundWatch(bool enabled) {
    if (setForegroundWatchEnabled) {
        setForegroundWatchEnabled(enabled);
    }
}

} // namespace tomorine
