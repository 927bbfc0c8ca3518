#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

class QWidget;

namespace tomorine {

// The data file chooser: title "データファイルの指定", the .xls filter first,
// opening in `folder` with `fileName` filled in. A name that does not exist
// yet is offered for creation (the chooser itself asks). Returns nothing
// when the user cancels.
std::optional<QString> ChooseDataFile(QWidget* parent, const QString& folder,
                                      const QString& fileName);

// A chooser of an existing file: the given title and filters ("name (*.x)",
// the first one selected), opening in `folder` with `fileName` filled in.
// Returns nothing when the user cancels. Answers from the same test seam.
std::optional<QString> ChooseExistingFile(QWidget* parent, const QString& title,
                                          const QStringList& filters, const QString& folder,
                                          const QString& fileName);

// Test seam: while recording, the chooser shows nothing and answers from the
// queue (a null QString, or an empty queue, is a cancel), recording the
// folder and name it got.
namespace FileChooserSeam {
struct Asked {
    QString folder;
    QString fileName;
};
void startRecording();
void stopRecording();
void queueAnswers(std::deque<QString> answers);
const std::vector<Asked>& asked();
} // namespace FileChooserSeam

} // namespace tomorine
