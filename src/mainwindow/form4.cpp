#include "mainwindow/form4.h"

#include "linkcheck/link_check_messages.h"
#include "mainwindow/focus_frame.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
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

void Form4::SetOpenUrl(std::function<bool(const QUrl&)> open) {
    UrlOpener().set(std::move(open));
}

Form4::Form4(ModuleState& state, Form1& form1, QWidget* parent)
    : QDialog(parent), state_(state), form1_(form1) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("リンク切れチェック"));
    setModal(true);
    buildControls();
    Form_Load();
}

void Form4::buildControls() {
    Label1 = Named<QLabel>(this, "Label1");
    Label1->setText(QStringLiteral("リンク切れURL一覧"));
    Label2 = Named<QLabel>(this, "Label2");
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    List1 = Named<QTreeWidget>(this, "List1");
    List1->setColumnCount(2);
    List1->setHeaderLabels({QStringLiteral("データ"), QStringLiteral("理由")});
    List1->header()->resizeSection(0, 300);
    List1->setRootIsDecorated(false);
    List1->setSelectionMode(QAbstractItemView::MultiSelection);
    List1->setUniformRowHeights(true);
    List1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    ShowFocusFrame(List1);
    Text1 = Named<QLineEdit>(this, "Text1");
    Command1 = Named<QPushButton>(this, "Command1");
    Command1->setText(QStringLiteral("全選択"));
    Command2 = Named<QPushButton>(this, "Command2");
    Command2->setText(QStringLiteral("全解除"));
    Command3 = Named<QPushButton>(this, "Command3");
    Command3->setText(QStringLiteral("表示"));
    Command4 = Named<QPushButton>(this, "Command4");
    Command4->setText(QStringLiteral("削除実行"));
    Command5 = Named<QPushButton>(this, "Command5");
    Command5->setText(QStringLiteral("OK"));
    StatusBar1 = Named<QStatusBar>(this, "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    Label3 = Named<QLabel>(this, "Label3");
    ProgressBar1 = Named<QProgressBar>(this, "ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumWidth(120);
    ProgressBar1->setValue(0);
    StatusBar1->addPermanentWidget(Label3);
    StatusBar1->addPermanentWidget(ProgressBar1);
    for (QPushButton* button : {Command1, Command2, Command3, Command4, Command5}) {
        button->setAutoDefault(false);
    }
    // Enter on a line shows it, as a double click does.
    Command3->setDefault(true);

    auto* caption = new QHBoxLayout;
    caption->addWidget(Label1);
    caption->addStretch();
    caption->addWidget(Label2);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {Command1, Command2, Command3, Command4}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    buttons->addWidget(Command5);
    auto* page = new QVBoxLayout(this);
    page->addLayout(caption);
    page->addWidget(List1, 1);
    page->addWidget(Text1);
    page->addLayout(buttons);
    page->addWidget(StatusBar1);
    resize(560, 420);

    connect(List1, &QTreeWidget::itemClicked, this, &Form4::List1_Click);
    connect(List1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current != nullptr) {
            List1_Click();
        }
    });
    connect(List1, &QTreeWidget::itemDoubleClicked, this, &Form4::List1_DblClick);
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form4::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form4::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form4::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form4::Command5_Click);
}

void Form4::Form_Load() {
    Label2->clear();
}

void Form4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The check starts once the window is on the screen, once per opening:
    // the window system's own shows (a restore, say) start none.
    if (!event->spontaneous()) {
        QTimer::singleShot(0, this, &Form4::Form_Activate);
    }
}

void Form4::Form_Activate() {
    if (isVisible() && !state_.LinkCheckRunning) {
        RunLinkCheck();
    }
}

void Form4::reject() {
    Command5_Click();
}

bool Form4::event(QEvent* event) {
    if (event->type() == CloseRefusedEventType() && state_.LinkCheckRunning) {
        StatusBar1->showMessage(ToQString(LinkCheckMessages::OkStops));
        noticeShown_.start();
        return true;
    }
    return QDialog::event(event);
}

void Form4::SetLinkCommandsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{List1, Command1, Command2, Command3, Command4}) {
        control->setEnabled(enabled);
    }
}

void Form4::List1_Click() {
    if (List1->topLevelItemCount() == 0 || DeadLinkSelecting || List1->currentItem() == nullptr) {
        return;
    }
    Text1->setText(List1->currentItem()->data(0, UrlRole).toString());
}

void Form4::List1_DblClick() {
    Command3_Click();
}

void Form4::Command1_Click() {
    DeadLinkSelecting = true;
    List1->selectAll();
    DeadLinkSelecting = false;
}

void Form4::Command2_Click() {
    DeadLinkSelecting = true;
    List1->clearSelection();
    DeadLinkSelecting = false;
}

void Form4::Command3_Click() {
    if (Text1->text().isEmpty()) {
        MessageBox(this, ToQString(Messages::NoUrl), MessageStyle::Ok);
        return;
    }
    UrlOpener().openTyped(this, Text1->text());
}

void Form4::Command5_Click() {
    state_.LinkCheckRunning = false;
    hide();
}

void Form4::showLineCount() {
    Label2->setText(ToQString(
        LinkCheckMessages::LineCountCaption(static_cast<std::size_t>(List1->topLevelItemCount()))));
}

void Form4::setForegroundWatch(bool enabled) {
    if (state_.SetForegroundWatchEnabled) {
        state_.SetForegroundWatchEnabled(enabled);
    }
}

} // namespace tomorine
