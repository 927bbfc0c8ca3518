// Start-up, shutdown and the OK command.
#include "mainwindow/conversion_progress.h"
#include "mainwindow/deletion_notice.h"
#include "mainwindow/favorites_import_dialog.h"
#include "mainwindow/html_export_dialog.h"
#include "mainwindow/link_check_dialog.h"
#include "mainwindow/main_window.h"
#include "mainwindow/merge_dialog.h"
#include "mainwindow/message_box.h"
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

UpgradeContext MainWindow::upgradeContext() {
    UpgradeUi ui;
    ui.messageBox = [this](const std::u16string& text, int style) {
        return MessageBox(this, ToQString(text), style);
    };
    ui.showProgress = [this] {
        conversionProgress->setPercent(0);
        RemoveSystemMenuItem(conversionProgress, 2);
        RemoveSystemMenuItem(conversionProgress, 5);
        ShowPainted(conversionProgress);
    };
    ui.setProgress = [this](int percent) { conversionProgress->setPercent(percent); };
    ui.closeProgress = [this] { CloseByProgram(conversionProgress); };
    ui.processEvents = [] { QCoreApplication::processEvents(); };
    return UpgradeContext{store_, upgrade_, std::move(ui)};
}

bool MainWindow::checkDataVersion() {
    UpgradeContext context = upgradeContext();
    DataFileCheck check = DataFileCheck::Refused;
    ShowingFailure(this, [&] { check = CheckDataVersion(context); });
    return check == DataFileCheck::Usable;
}

bool MainWindow::load() {
    // Start-up never locks the user out: settings or a data file that cannot
    // be read, created or saved are reported, and the window opens with the
    // commands off as for a rejected file, so that another file can be chosen.
    for (QWidget* window :
         std::initializer_list<QWidget*>{this, htmlExportDialog, mergeDialog.data(),
                                         linkCheckDialog, favoritesImportDialog, deletionNotice}) {
        RemoveSystemMenuItem(window, 2);
    }
    bool usable = ShowingFailure(this, [this] {
        const StartupSettings settings = ReadStartupSettings(GetAppDir());
        for (const std::string& notice : settings.notices) {
            MessageBox(this, QString::fromStdString(notice), MessageStyle::Exclamation);
        }
        store_.dataFilePath = settings.dataFile;
        settings_ = {settings.dataFile, settings.outputFile, settings.referFile,
                     settings.commentOutput};
        htmlExportDialog->commentsBox->setChecked(settings_.commentOutput);
        htmlExportDialog->pathField->setText(ToQString(settings_.outputFile));
        mergeDialog->pathField->setText(QString::fromStdString(settings_.referFile));
    });
    if (usable) {
        bool accepted = false;
        const bool present = ShowingFailure(this, [this, &accepted] {
            accepted = checkDataVersion(); // shows itself why it rejects a file
            if (!IsRegularFile(store_.dataFilePath)) {
                CreateDataWorkbook(store_.dataFilePath);
            }
        });
        usable = present && accepted;
    }
    setCommandsEnabled(usable);
    ShowingFailure(this, [this] {
        // A relative setting is shown, and used, as the absolute path it names.
        dataFileField->setText(PathToQString(store_.dataFilePath));
        refreshDataFilePath();
        dataFileField->setText(PathToQString(store_.dataFilePath));
    });
    // A refused file leaves the setting as it was.
    if (usable) {
        settings_.dataFile = store_.dataFilePath.string();
    }
    upgrade_.dataChanged = false;
    startForegroundWatch();
    ShowingFailure(this, [this] {
        watchDataFolder();
        lookForConflictCopies();
    });
    return true;
}

void MainWindow::shutDown() {
    search_.releaseRows();
    // What the user confirmed, not what the fields hold now.
    SettingsValues values = settings_;
    if (values.dataFile.empty()) {
        values.dataFile = dataFileField->text().toStdString();
    }
    ShowingFailure(this, [&] {
        SaveSettings(values, GetAppDir() + std::string(kSettingsFileName),
                     GetIniPath(values.dataFile));
    });
    for (QWidget* window :
         std::initializer_list<QWidget*>{htmlExportDialog, favoritesImportDialog, linkCheckDialog,
                                         deletionNotice, conversionProgress, mergeDialog.data()}) {
        if (window != nullptr) {
            CloseByProgram(window);
        }
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    shutDown();
    event->accept();
}

void MainWindow::saveAndClose() {
    search_.releaseRows();
    // Every change is already in the data file; only the re-save can fail.
    ShowingFailure(this, [this] {
        UpgradeContext context = upgradeContext();
        CompactDataWorkbook(context, ToPath(dataFileField->text()));
    });
    close();
}

} // namespace tomorine
