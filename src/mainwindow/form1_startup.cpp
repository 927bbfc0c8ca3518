// Start-up, shutdown and the OK command.
#include "mainwindow/form1.h"
#include "mainwindow/form2.h"
#include "mainwindow/form6.h"
#include "mainwindow/form7.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "mainwindow/qt_text.h"
#include "mainwindow/window_menu.h"
#include "store/data_workbook.h"
#include "store/files/whole_file.h"
#include "store/settings/app_dir.h"
#include "store/settings/ini_functions.h"
#include "store/settings/path_routines.h"
#include "store/settings/settings_file.h"
#include "upgrade/compact.h"
#include "upgrade/data_version.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>

namespace tomorine {

UpgradeContext Form1::upgradeContext() {
    UpgradeUi ui;
    ui.messageBox = [this](const std::u16string& text, int style) {
        return MessageBox(this, ToQString(text), style);
    };
    ui.showProgress = [this] {
        form7->setPercent(0);
        RemoveSystemMenuItem(form7, 2);
        RemoveSystemMenuItem(form7, 5);
        form7->show();
    };
    ui.setProgress = [this](int percent) { form7->setPercent(percent); };
    ui.closeProgress = [this] { CloseByProgram(form7); };
    ui.processEvents = [] { QCoreApplication::processEvents(); };
    return UpgradeContext{state_, state_, std::move(ui)};
}

int Form1::checkDataVersion() {
    UpgradeContext context = upgradeContext();
    return CheckDataVersion(context);
}

bool Form1::Form_Load() {
    try {
        RemoveSystemMenuItem(this, 2);
        RemoveSystemMenuItem(form2, 2);
        RemoveSystemMenuItem(form6, 2);
        state_.DataFilePath = ReadDataFileSetting(GetAppDir());
        const std::string dataIni = GetIniPath(state_.DataFilePath.string());
        state_.OutputFilePath =
            ReadIniString(dataIni, kSettingsSection, kOutputFileKey, "", kIniBufferSize);
        state_.CommentOutput = ReadIniInt(dataIni, kSettingsSection, kCommentOutputKey, 0);
        form2->Check1->setChecked(state_.CommentOutput == 1);
        form2->Text1->setText(ToQString(state_.OutputFilePath));
        state_.ReferFilePath =
            ReadIniString(dataIni, kSettingsSection, kReferFileKey, "", kIniBufferSize);
        SetCommandsEnabled(checkDataVersion() != -1);
        if (!IsRegularFile(state_.DataFilePath)) {
            CreateDataWorkbook(state_.DataFilePath);
        }
        // A relative setting is shown, and used, as the absolute path it names.
        Text6->setText(PathToQString(state_.DataFilePath));
        refreshDataFilePath();
        Text6->setText(PathToQString(state_.DataFilePath));
        state_.DataChanged = false;
        StartForegroundWatch();
        return true;
    } catch (const std::exception& e) {
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
        return false;
    }
}

void Form1::Form_QueryUnload() {
    if (state_.ConnectionOpen) {
        CloseDataConnection(state_);
        state_.ConnectionOpen = false;
    }
    SettingsValues values{Text6->text().toStdString(), state_.OutputFilePath, state_.ReferFilePath,
                          state_.CommentOutput};
    values.outputFile = form2->Text1->text().toStdString();
    SaveSettings(values, GetAppDir() + std::string(kSettingsFileName),
                 GetIniPath(state_.DataFilePath.string()));
    CloseByProgram(form2);
    CloseByProgram(form6);
    CloseByProgram(form7);
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void Form1::Command5_Click() {
    if (state_.ConnectionOpen) {
        CloseDataConnection(state_);
        state_.ConnectionOpen = false;
    }
    try {
        UpgradeContext context = upgradeContext();
        CompactDataWorkbook(context, ToPath(Text6->text()));
    } catch (const std::exception& e) {
        // Every change is already in the data file; only the re-save failed.
        MessageBox(this, QString::fromUtf8(e.what()), MessageStyle::Critical);
    }
    close();
}

} // namespace tomorine
