#include "mainwindow/form1.h"

#include "mainwindow/dialog_keys.h"
#include "mainwindow/focus_frame.h"
#include "mainwindow/form2.h"
#include "mainwindow/form3.h"
#include "mainwindow/form4.h"
#include "mainwindow/form5.h"
#include "mainwindow/form6.h"
#include "mainwindow/form7.h"
#include "mainwindow/module_state.h"
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

Form1::Form1(ModuleState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("トモリネ"));
    buildControls();
    layoutControls();
    connectControls();
    form2 = new Form2(state_, search_, this, [this] { return fieldTexts(); });
    form4 = new Form4(state_, *this, this);
    form5 = new Form5(state_, this);
    form5->beforeImport = [this] { search_.releaseRows(); };
    SetForm1TabOrder(*this);
    form6 = new Form6(this);
    form7 = new Form7(state_, this);
    form3 = new Form3(state_, *this);
    resize(820, 640);
    installDropTargets();
}

Form1::~Form1() = default;

void Form1::buildControls() {
    Command1 = Named<QPushButton>(this, "Command1");
    Command1->setText(QStringLiteral("検索"));
    Command2 = Named<QPushButton>(this, "Command2");
    Command2->setText(QStringLiteral("登録"));
    Command3 = Named<QPushButton>(this, "Command3");
    Command3->setText(QStringLiteral("表示"));
    Command4 = Named<QPushButton>(this, "Command4");
    Command4->setText(QStringLiteral("クリア"));
    Command5 = Named<QPushButton>(this, "Command5");
    Command5->setText(QStringLiteral("OK"));
    Command6 = Named<QPushButton>(this, "Command6");
    Command6->setText(QStringLiteral("削除"));
    Command7 = Named<QPushButton>(this, "Command7");
    Command7->setText(QStringLiteral("HTML作成"));
    Command8 = Named<QPushButton>(this, "Command8");
    Command8->setText(QStringLiteral("IE取得"));
    Command10 = Named<QPushButton>(this, "Command10");
    Command10->setText(QStringLiteral("データマージ"));
    Command11 = Named<QPushButton>(this, "Command11");
    Command11->setText(QStringLiteral("キーワード一覧"));
    Command12 = Named<QPushButton>(this, "Command12");
    Command12->setText(QStringLiteral("リンクチェック"));
    Command13 = Named<QPushButton>(this, "Command13");
    Command13->setText(QStringLiteral("お気に入りインポート"));
    Command14 = Named<QPushButton>(this, "Command14");
    Command14->setText(QStringLiteral("ブラウザ取込"));
    Command9 = Named<QPushButton>(this, "Command9");
    Command9->setIcon(QIcon::fromTheme(QStringLiteral("document-open-folder"),
                                       style()->standardIcon(QStyle::SP_DirOpenIcon)));
    Command9->setToolTip(QStringLiteral("データファイルの指定"));

    auto* selectAll = new SelectAllOnFocus(this);
    for (QLineEdit** field : {&Text1, &Text2, &Text3, &Text4, &Text6}) {
        *field = new QLineEdit(this);
        (*field)->installEventFilter(selectAll);
    }
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2->setObjectName(QStringLiteral("Text2"));
    Text3->setObjectName(QStringLiteral("Text3"));
    Text4->setObjectName(QStringLiteral("Text4"));
    Text6->setObjectName(QStringLiteral("Text6"));
    Text5 = Named<QPlainTextEdit>(this, "Text5");
    Text5->installEventFilter(selectAll);
    Text5->setTabChangesFocus(true);

    Label1 = Named<QLabel>(this, "Label1");
    Label2 = Named<QLabel>(this, "Label2");
    Label2->setText(QStringLiteral("URL"));
    Label3 = Named<QLabel>(this, "Label3");
    Label3->setText(QStringLiteral("タイトル"));
    Label4 = Named<QLabel>(this, "Label4");
    Label4->setText(QStringLiteral("サブタイトル"));
    Label5 = Named<QLabel>(this, "Label5");
    Label5->setText(QStringLiteral("キーワード"));
    Label6 = Named<QLabel>(this, "Label6");
    Label6->setText(QStringLiteral("コメント"));
    Label7 = Named<QLabel>(this, "Label7");
    Label7->setText(QStringLiteral("データファイルパス"));
    Label8 = Named<QLabel>(this, "Label8");
    Label8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    List1 = Named<QListWidget>(this, "List1");
    List1->setFont(ListFont());
    List1->setUniformItemSizes(true);
    // One scroll step per line, so that the scroll position is the top line.
    List1->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    ShowFocusFrame(List1);

    commands_ = {Command8, Command1, Command2,  Command3,  Command11, Command6,
                 Command4, Command7, Command10, Command12, Command13, Command14};
    ResetListCaption();
}

void Form1::layoutControls() {
    auto* fields = new QGridLayout;
    QLabel* labels[] = {Label2, Label3, Label4, Label5, Label6};
    QWidget* editors[] = {Text1, Text2, Text3, Text4, Text5};
    for (int row = 0; row < 5; ++row) {
        labels[row]->setBuddy(editors[row]);
        fields->addWidget(labels[row], row, 0, row == 4 ? Qt::AlignTop : Qt::Alignment());
        fields->addWidget(editors[row], row, 1);
    }
    Text5->setFixedHeight(Text1->sizeHint().height() * 3);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {Command1, Command2, Command4, Command3, Command6}) {
        button->setMinimumWidth(112);
        buttons->addWidget(button);
    }
    buttons->addStretch();

    auto* editor = new QHBoxLayout;
    editor->addLayout(fields, 1);
    editor->addSpacing(12);
    editor->addLayout(buttons);

    auto* tools = new QHBoxLayout;
    for (QPushButton* button :
         {Command8, Command7, Command10, Command11, Command12, Command13, Command14}) {
        tools->addWidget(button);
    }
    tools->addStretch();

    auto* listCaption = new QHBoxLayout;
    listCaption->addWidget(Label1);
    listCaption->addStretch();
    listCaption->addWidget(Label8);

    auto* dataFile = new QHBoxLayout;
    dataFile->addWidget(Label7);
    dataFile->addWidget(Text6, 1);
    dataFile->addWidget(Command9);
    dataFile->addSpacing(12);
    Command5->setMinimumWidth(112);
    dataFile->addWidget(Command5);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(14, 14, 14, 14);
    page->addLayout(editor);
    page->addSpacing(6);
    page->addLayout(tools);
    page->addSpacing(8);
    page->addLayout(listCaption);
    page->addWidget(List1, 1);
    page->addSpacing(6);
    page->addLayout(dataFile);
}

void Form1::connectControls() {
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &Form1::Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &Form1::Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &Form1::Command13_Click);
    connect(Command14, &QPushButton::clicked, this, &Form1::Command14_Click);
    // Enter searches from the search fields; the data file path has none, so
    // that Enter there never reaches OK, which ends the program.
    for (QLineEdit* field : {Text1, Text2, Text3, Text4}) {
        connect(field, &QLineEdit::returnPressed, Command1, &QPushButton::click);
    }
    InstallCtrlEnter(Text5, Command1);
    // A new line selected by mouse or keyboard loads its entry at once; a
    // press on the line already selected loads it again, as a click does.
    connect(List1, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            List1_Click();
            loadedByPress_ = QApplication::mouseButtons() != Qt::NoButton;
        }
    });
    connect(List1, &QListWidget::itemPressed, this, [this] {
        if (!loadedByPress_) {
            List1_Click();
        }
        loadedByPress_ = false;
    });
    connect(List1, &QListWidget::itemDoubleClicked, this, &Form1::List1_DblClick);
}

void Form1::ClearEntryForm() {
    List1->clear();
    Text1->clear();
    Text2->clear();
    Text3->clear();
    Text4->clear();
    Text5->clear();
    Label8->clear();
    repaint();
}

void Form1::ResetListCaption() {
    state_.KeywordListMode = false;
    Label1->setText(QStringLiteral("検出サイトList"));
    QFont font = Label1->font();
    font.setBold(false);
    Label1->setFont(font);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
    Label1->setPalette(palette);
}

void Form1::SetCommandsEnabled(bool enabled) {
    for (QPushButton* command : commands_) {
        command->setEnabled(enabled);
    }
}

void Form1::SaveListPosition() {
    state_.SavedListTop = List1->verticalScrollBar()->value();
    state_.SavedListIndex = List1->currentRow();
}

void Form1::RestoreListTop() {
    // The list lays out new lines lazily; lay them out now so that the scroll
    // range takes the saved top line.
    List1->doItemsLayout();
    List1->verticalScrollBar()->setValue(state_.SavedListTop);
}

void Form1::RestoreListPosition() {
    RestoreListTop();
    // A list that got shorter than the saved line cannot get it back.
    if (state_.SavedListIndex >= 0 && state_.SavedListIndex < List1->count()) {
        selectListIndex(state_.SavedListIndex);
    }
}

void Form1::selectListIndex(int index) {
    {
        QSignalBlocker quiet(List1);
        List1->setCurrentRow(index);
    }
    List1_Click();
}

SearchTexts Form1::fieldTexts() const {
    return SearchTexts{ToU16(Text1->text()), ToU16(Text2->text()), ToU16(Text3->text()),
                       ToU16(Text4->text()), commentText()};
}

// Line breaks in a comment are stored as CR LF, as the workbooks written on
// Windows hold them; the editor itself works with LF.
std::u16string Form1::commentText() const {
    QString text = Text5->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ToU16(text);
}

void Form1::refreshDataFilePath() {
    state_.DataFilePath = GetAbsolutePath(Text6->text().toStdString());
}

} // namespace tomorine
