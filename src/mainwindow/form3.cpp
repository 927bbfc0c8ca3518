#include "mainwindow/form3.h"

#include "mainwindow/dialog_keys.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/form1.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "mainwindow/paint_notice.h"
#include "mainwindow/path_field_chooser.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/select_all_on_focus.h"
#include "mainwindow/window_menu.h"
#include "merge/merge_checks.h"
#include "merge/merge_engine.h"
#include "merge/merge_messages.h"
#include "store/message_style.h"
#include "store/settings/app_dir.h"
#include "store/settings/ini_functions.h"
#include "store/settings/settings_file.h"
#include "upgrade/data_version.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace tomorine {

Form3::Form3(ModuleState& state, Form1& owner)
    : QWidget(&owner, Qt::Dialog), state_(state), owner_(owner) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("トモリネ"));
    Label1 = new QLabel(QStringLiteral("参照データパス"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMinimumWidth(360);
    Text1->installEventFilter(new SelectAllOnFocus(this));
    Label1->setBuddy(Text1);
    Command1 = new QPushButton(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setIcon(QIcon::fromTheme(QStringLiteral("document-open-folder"),
                                       style()->standardIcon(QStyle::SP_DirOpenIcon)));
    Command1->setToolTip(QStringLiteral("参照ファイルの指定"));
    Command2 = new QPushButton(QStringLiteral("OK"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0, 1, 2);
    layout->addWidget(Text1, 1, 0);
    layout->addWidget(Command1, 1, 1);
    layout->addWidget(Label2, 2, 0);
    layout->addWidget(Command2, 2, 1);
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);

    InstallDialogKeys(this, Command2);
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
}

void Form3::Command1_Click() {
    ChooseIntoPathField(
        this, Text1, ChooseExistingFile, QStringLiteral("参照ファイルの指定"),
        {QStringLiteral("エクセル ファイル (*.xls)"), QStringLiteral("すべてのファイル (*)")});
}

void Form3::Command2_Click() {
    if (Text1->text().isEmpty()) {
        MessageBox(this, ToQString(MergeMessages::NoPath), MessageStyle::Ok);
        return;
    }
    const std::string reference = Text1->text().toStdString();
    if (std::optional<std::u16string_view> refusal =
            SameFileRefusal(owner_.Text6->text().toStdString(), reference)) {
        MessageBox(this, ToQString(*refusal), MessageStyle::Ok);
        Text1->setText(QString::fromStdString(state_.ReferFilePath));
        hide();
        return;
    }
    try {
        if (GetDataVersion(ToPath(Text1->text())) != DataVersion::Current) {
            MessageBox(this, ToQString(MergeMessages::OldVersion), MessageStyle::Ok);
            return;
        }
    } catch (const std::exception& e) {
        // An unreadable reference is not of an older layout: its own reason says it.
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        return;
    }
    runMerge();
}

void Form3::setWorking(bool working) {
    if (working) {
        RemoveSystemMenuItem(this, 5);
    } else {
        RemoveSystemMenuItem(this, 0, true);
    }
    for (QWidget* control : {static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command2),
                             static_cast<QWidget*>(Label1)}) {
        control->setEnabled(!working);
    }
    Label2->setText(working ? ToQString(MergeMessages::Merging) : QString());
    Text1->setEnabled(!working);
}

void Form3::runMerge() {
    setWorking(true);
    RepaintPainted(Label2);
    state_.ReferFilePath = Text1->text().toStdString();
    WriteIniString(GetAppDir() + std::string(kSettingsFileName), kSettingsSection, kReferFileKey,
                   state_.ReferFilePath);
    WriteIniString(GetIniPath(state_.DataFilePath.string()), kSettingsSection, kReferFileKey,
                   state_.ReferFilePath);
    UpgradeContext context{state_, state_, {}};
    MergeResult result;
    try {
        owner_.search().releaseRows();
        result = MergeReferenceData(context, ToPath(Text1->text()));
    } catch (const DataWorkbookUnreadable& e) {
        // No reference can be merged into it: the window goes.
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        hide();
        MessageBox(this, ToQString(MergeMessages::Failed), MessageStyle::Critical);
        setWorking(false);
        unload();
        return;
    } catch (const std::exception& e) {
        // Nothing was changed: the user may correct the path and try again.
        setWorking(false);
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        MessageBox(this, ToQString(MergeMessages::Failed), MessageStyle::Critical);
        return;
    }
    hide();
    MessageBox(this, ToQString(MergeMessages::Done), MessageStyle::Ok);
    setWorking(false);
    Label2->setText(ToQString(MergeMessages::Done) + QStringLiteral(" %1件").arg(result.added));
}

void Form3::unload() {
    unloaded_ = true;
    CloseByProgram(this);
    deleteLater();
}

void Form3::closeEvent(QCloseEvent* event) {
    if (IsClosingByProgram(this)) {
        event->accept();
        return;
    }
    Text1->setText(QString::fromStdString(state_.ReferFilePath));
    event->ignore();
    hide();
}

} // namespace tomorine
