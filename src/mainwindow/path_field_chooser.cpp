#include "mainwindow/path_field_chooser.h"

#include "store/settings/app_dir.h"
#include "store/settings/path_routines.h"

#include <QLineEdit>

namespace tomorine {

void ChooseIntoPathField(QWidget* parent, QLineEdit* field, PathChooser choose,
                         const QString& title, const QStringList& filters) {
    const FilePathParts parts = SplitFilePath(field->text().toStdString());
    const QString folder =
        QString::fromStdString(parts.folder.empty() ? GetAppDir() : parts.folder);
    const std::optional<QString> chosen =
        choose(parent, title, filters, folder, QString::fromStdString(parts.fileName));
    if (chosen) {
        field->setText(*chosen);
        field->setCursorPosition(static_cast<int>(field->text().size()));
        field->setFocus();
    }
}

} // namespace tomorine
