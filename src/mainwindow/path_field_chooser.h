#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QLineEdit;
class QWidget;

namespace tomorine {

// ChooseFile, ChooseExistingFile or another chooser of that shape.
using PathChooser = std::optional<QString> (*)(QWidget* parent, const QString& title,
                                               const QStringList& filters, const QString& folder,
                                               const QString& fileName);

// The browse button beside a dialog's path field: `choose` opens in the
// folder of the field's path (the program's folder when it names none) with
// its file name filled in; a chosen path replaces the field's text, the
// cursor at its end and the focus on the field.
void ChooseIntoPathField(QWidget* parent, QLineEdit* field, PathChooser choose,
                         const QString& title, const QStringList& filters);

} // namespace tomorine
