#pragma once

#include <QString>
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

// A folder chooser titled `title` (so the user knows what the folder is
// for), opening in `folder`. Returns nothing when the user cancels. The
// seam below answers it as it answers the data file chooser.
std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& folder);

// Test seam: while recording, the chooser shows nothing and answers from the
// queue (a null QString, or an empty queue, is a cancel), recording the
// folder and name it got.
namespace FileChooserSeam {
struct Asked {
    QString folder;
    QString fileName;
    QString title; // of a folder chooser
};
void startRecording();
void stopRecording();
void queueAnswers(std::deque<QString> answers);
const std::vector<Asked>& asked();
} // namespace FileChooserSeam

} // namespace tomorine
