#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

class QWidget;

namespace tomorine {

// ChooseFile titled "データファイルの指定", the .xls filter first.
std::optional<QString> ChooseDataFile(QWidget* parent, const QString& folder,
                                      const QString& fileName);

// Any file chooser of the program: `title`, the filters (the first selected),
// opening in `folder` with `fileName` filled in. A new name is taken once the
// user agrees to create it in a folder that exists and takes files. Nothing
// when the user cancels.
std::optional<QString> ChooseFile(QWidget* parent, const QString& title, const QStringList& filters,
                                  const QString& folder, const QString& fileName);
// A folder chooser titled `title`, opening in `folder`.
std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& folder);
// A chooser of an existing file, otherwise as ChooseFile.
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
