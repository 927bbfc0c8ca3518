#include "mainwindow/merge_dialog.h"

#include "mainwindow/dialog_keys.h"
#include "mainwindow/file_chooser.h"
#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
#include "mainwindow/named_widget.h"
#include "mainwindow/paint_notice.h"
#include "mainwindow/path_field_chooser.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/select_all_on_focus.h"
#include "mainwindow/tab_order.h"
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

MergeDialog::MergeDialog(std::string& referFile, StoreState& store, UpgradeState& upgrade,
                         MainWindow& owner)
    : QWidget(&owner, Qt::Dialog), referFile_(referFile), store_(store), upgrade_(upgrade),
      owner_(owner) {
    setObjectName(QStringLiteral("MergeDialog"));
    setWindowTitle(QStringLiteral("トモリネ"));
    pathLabel = Named<QLabel>(this, "pathLabel", QStringLiteral("参照データパス"));
    pathField = Named<QLineEdit>(this, "pathField");
    pathField->setMinimumWidth(360);
    pathField->installEventFilter(new SelectAllOnFocus(this));
    pathLabel->setBuddy(pathField);
    browseButton = Named<QPushButton>(this, "browseButton");
    browseButton->setIcon(QIcon::fromTheme(QStringLiteral("document-open-folder"),
                                           style()->standardIcon(QStyle::SP_DirOpenIcon)));
    browseButton->setToolTip(QStringLiteral("参照ファイルの指定"));
    okButton = Named<QPushButton>(this, "okButton", QStringLiteral("OK"));
    statusLabel = Named<QLabel>(this, "statusLabel");

    auto* layout = new QGridLayout(this);
    layout->addWidget(pathLabel, 0, 0, 1, 2);
    layout->addWidget(pathField, 1, 0);
    layout->addWidget(browseButton, 1, 1);
    layout->addWidget(statusLabel, 2, 0);
    layout->addWidget(okButton, 2, 1);
    SetTabChain({pathField, browseButton, okButton});

    InstallDialogKeys(this, okButton);
    connect(browseButton, &QPushButton::clicked, this, &MergeDialog::browse);
    connect(okButton, &QPushButton::clicked, this, &MergeDialog::run);
}

void MergeDialog::browse() {
    ChooseIntoPathField(
        this, pathField, ChooseExistingFile, QStringLiteral("参照ファイルの指定"),
        {QStringLiteral("エクセル ファイル (*.xls)"), QStringLiteral("すべてのファイル (*)")});
}

void MergeDialog::run() {
    if (pathField->text().isEmpty()) {
        MessageBox(this, ToQString(MergeMessages::NoPath), MessageStyle::Ok);
        return;
    }
    const std::string reference = pathField->text().toStdString();
    if (std::optional<std::u16string_view> refusal =
            SameFileRefusal(owner_.dataFileField->text().toStdString(), reference)) {
        MessageBox(this, ToQString(*refusal), MessageStyle::Ok);
        pathField->setText(QString::fromStdString(referFile_));
        hide();
        return;
    }
    try {
        if (GetDataVersion(ToPath(pathField->text())) != DataVersion::Current) {
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

void MergeDialog::setWorking(bool working) {
    if (working) {
        RemoveSystemMenuItem(this, 5);
    } else {
        RemoveSystemMenuItem(this, 0, true);
    }
    for (QWidget* control : {static_cast<QWidget*>(browseButton), static_cast<QWidget*>(okButton),
                             static_cast<QWidget*>(pathLabel)}) {
        control->setEnabled(!working);
    }
    statusLabel->setText(working ? ToQString(MergeMessages::Merging) : QString());
    pathField->setEnabled(!working);
}

void MergeDialog::runMerge() {
    setWorking(true);
    RepaintPainted(statusLabel);
    referFile_ = pathField->text().toStdString();
    WriteIniString(GetAppDir() + std::string(kSettingsFileName), kSettingsSection, kReferFileKey,
                   referFile_);
    WriteIniString(GetIniPath(store_.dataFilePath.string()), kSettingsSection, kReferFileKey,
                   referFile_);
    UpgradeContext context{store_, upgrade_, {}};
    MergeResult result;
    try {
        owner_.search().releaseRows();
        result = MergeReferenceData(context, ToPath(pathField->text()));
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
    statusLabel->setText(ToQString(MergeMessages::Done) +
                         QStringLiteral(" %1件").arg(result.added));
}

void MergeDialog::unload() {
    unloaded_ = true;
    CloseByProgram(this);
    deleteLater();
}

void MergeDialog::closeEvent(QCloseEvent* event) {
    if (IsClosingByProgram(this)) {
        event->accept();
        return;
    }
    pathField->setText(QString::fromStdString(referFile_));
    event->ignore();
    hide();
}

} // namespace tomorine
