// Choosing another data file.
#include "mainwindow/file_chooser.h"
#include "mainwindow/main_window.h"
#include "mainwindow/message_box.h"
#include "mainwindow/qt_text.h"
#include "store/data_workbook.h"
#include "store/files/whole_file.h"
#include "store/settings/app_dir.h"
#include "store/settings/ini_functions.h"
#include "store/settings/path_routines.h"
#include "store/settings/settings_file.h"

#include <QLineEdit>
#include <QPushButton>

namespace tomorine {

void MainWindow::chooseDataFile() {
    FilePathParts parts = SplitFilePath(dataFileField->text().toStdString());
    QString folder = QString::fromStdString(parts.folder.empty() ? GetAppDir() : parts.folder);
    std::optional<QString> chosen =
        ChooseDataFile(this, folder, QString::fromStdString(parts.fileName));
    // A new file that cannot be made is not taken into use.
    bool created = true;
    if (chosen) {
        dataFileField->setText(*chosen);
        dataFileField->selectAll();
        dataFileField->setFocus();
        if (dataFileField->text().toStdString() != store_.dataFilePath.string()) {
            refreshDataFilePath();
            created = ShowingFailure(this, [&] {
                if (!IsRegularFile(store_.dataFilePath)) {
                    CreateDataWorkbook(store_.dataFilePath);
                }
            });
            clearEntryForm();
            search_.savedSearchUrl.reset();
            search_.releaseRows();
            // An update now would rewrite an entry of the other file.
            registerButton->setText(QStringLiteral("登録"));
        }
    }
    const bool accepted = created && checkDataVersion();
    setCommandsEnabled(accepted);
    // Only the file the check accepted is recorded: a refused one would be
    // refused again at every start.
    const std::string value = store_.dataFilePath.string();
    if (accepted && IsRegularFile(store_.dataFilePath) && value != settings_.dataFile) {
        settings_.dataFile = value;
        WriteIniString(GetIniPath(store_.dataFilePath.string()), kSettingsSection, kDataFileKey,
                       value);
        WriteIniString(GetAppDir() + std::string(kSettingsFileName), kSettingsSection, kDataFileKey,
                       value);
    }
    ShowingFailure(this, [this] {
        watchDataFolder();
        lookForConflictCopies();
    });
}

} // namespace tomorine
