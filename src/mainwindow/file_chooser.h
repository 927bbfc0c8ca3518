#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

class QWidget;

namespace tomorine {

// The data file chooser: title "データファイルの指定", the .xls filter first,
// opening in `folder` with `fileName` filled in. Returns a file that exists,
// or a new name in a folder that exists once the user has agreed to create
// it (the chooser itself asks); a name in a missing folder gets a message
// and the chooser stays open. Returns nothing when the user cancels.
std::optional<QString> ChooseDataFile(QWidget* parent, const QString& folder,
                                      const QString& fileName);

// Any file chooser of the program: `title`, the name filters with the first
// selected, opening in `folder` with `fileName` filled in; a name that does
// not exist yet is offered for creation. Nothing when the user cancels.
std::optional<QString> ChooseFile(QWidget* parent, const QString& title, const QStringList& filters,
                                  const QString& folder, const QString& fileName);
// A folder chooser titled `title` (so the user knows what the folder is
// for), opening in `folder`. Returns nothing when the user cancels. The
// seam below answers it as it answers the data file chooser.
std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& folder);
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
    QString title;
    QStringList filters;
};
void startRecording();
void stopRecording();
void queueAnswers(std::deque<QString> answers);
const std::vector<Asked>& asked();
} // namespace FileChooserSeam

} // namespace tomorine
