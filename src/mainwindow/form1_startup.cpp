// Start-up, shutdown and the OK command.
#include "mainwindow/form1.h"
#include "mainwindow/form2.h"
#include "mainwindow/form3.h"
#include "mainwindow/form4.h"
#include "mainwindow/form5.h"
#include "mainwindow/form6.h"
#include "mainwindow/form7.h"
#include "mainwindow/message_box.h"
#include "mainwindow/module_state.h"
#include "mainwindow/paint_notice.h"
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
        ShowPainted(form7);
    };
    ui.setProgress = [this](int percent) { form7->setPercent(percent); };
    ui.closeProgress = [this] { CloseByProgram(form7); };
    ui.processEvents = [] { QCoreApplication::processEvents(); };
    return UpgradeContext{state_, state_, std::move(ui)};
}

bool Form1::checkDataVersion() {
    UpgradeContext context = upgradeContext();
    DataFileCheck check = DataFileCheck::Refused;
    ShowingFailure(this, [&] { check = CheckDataVersion(context); });
    return check == DataFileCheck::Usable;
}

bool Form1::Form_Load() {
    // Start-up never locks the user out: settings or a data file that cannot
    // be read, created or saved are reported, and the window opens with the
    // commands off as for a rejected file, so that another file can be chosen.
    RemoveSystemMenuItem(this, 2);
    RemoveSystemMenuItem(form2, 2);
    RemoveSystemMenuItem(form3, 2);
    RemoveSystemMenuItem(form4, 2);
    RemoveSystemMenuItem(form5, 2);
    RemoveSystemMenuItem(form6, 2);
    bool usable = ShowingFailure(this, [this] {
        const StartupSettings settings = ReadStartupSettings(GetAppDir());
        for (const std::string& notice : settings.notices) {
            MessageBox(this, QString::fromStdString(notice), MessageStyle::Exclamation);
        }
        state_.DataFilePath = settings.dataFile;
        state_.DataFileSetting = settings.dataFile;
        state_.OutputFilePath = settings.outputFile;
        state_.CommentOutput = settings.commentOutput;
        form2->Check1->setChecked(state_.CommentOutput);
        form2->Text1->setText(ToQString(state_.OutputFilePath));
        state_.ReferFilePath = settings.referFile;
        form3->Text1->setText(QString::fromStdString(state_.ReferFilePath));
    });
    if (usable) {
        bool accepted = false;
        const bool present = ShowingFailure(this, [this, &accepted] {
            accepted = checkDataVersion(); // shows itself why it rejects a file
            if (!IsRegularFile(state_.DataFilePath)) {
                CreateDataWorkbook(state_.DataFilePath);
            }
        });
        usable = present && accepted;
    }
    SetCommandsEnabled(usable);
    ShowingFailure(this, [this] {
        // A relative setting is shown, and used, as the absolute path it names.
        Text6->setText(PathToQString(state_.DataFilePath));
        refreshDataFilePath();
        Text6->setText(PathToQString(state_.DataFilePath));
    });
    // A refused file leaves the setting as it was.
    if (usable) {
        state_.DataFileSetting = state_.DataFilePath.string();
    }
    state_.DataChanged = false;
    StartForegroundWatch();
    ShowingFailure(this, [this] {
        watchDataFolder();
        lookForConflictCopies();
    });
    return true;
}

void Form1::Form_QueryUnload() {
    search_.releaseRows();
    // What the user confirmed, not what the fields hold now.
    const std::string dataFile =
        state_.DataFileSetting.empty() ? Text6->text().toStdString() : state_.DataFileSetting;
    SettingsValues values{dataFile, state_.OutputFilePath, state_.ReferFilePath,
                          state_.CommentOutput};
    ShowingFailure(this, [&] {
        SaveSettings(values, GetAppDir() + std::string(kSettingsFileName), GetIniPath(dataFile));
    });
    CloseByProgram(form2);
    CloseByProgram(form5);
    CloseByProgram(form4);
    CloseByProgram(form6);
    CloseByProgram(form7);
    if (form3) {
        CloseByProgram(form3);
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void Form1::Command5_Click() {
    search_.releaseRows();
    // Every change is already in the data file; only the re-save can fail.
    ShowingFailure(this, [this] {
        UpgradeContext context = upgradeContext();
        CompactDataWorkbook(context, ToPath(Text6->text()));
    });
    close();
}

} // namespace tomorine
