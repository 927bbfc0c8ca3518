#include "mainwindow/file_chooser.h"

#include "mainwindow/message_box.h"
#include "mainwindow/seam_recorder.h"
#include "store/message_style.h"

#include <QFileDialog>
#include <QFileInfo>

namespace tomorine {

namespace {

SeamRecorder<FileChooserSeam::Asked, QString>& TheRecorder() {
    static SeamRecorder<FileChooserSeam::Asked, QString> recorder;
    return recorder;
}

// The platform chooser asked this itself; here the chooser is ours.
bool ConfirmCreation(QWidget* parent, const QString& path) {
    return MessageBox(parent,
                      path + QStringLiteral("\r\nこのファイルは存在しません。\r\n作成しますか？"),
                      MessageStyle::OkCancel + 32) == AnswerOk;
}

} // namespace

std::optional<QString> ChooseDataFile(QWidget* parent, const QString& folder,
                                      const QString& fileName) {
    if (TheRecorder().recording()) {
        // A null answer (also when none is queued) is a cancel.
        QString answer = TheRecorder().answer({folder, fileName}, QString());
        return answer.isNull() ? std::nullopt : std::optional<QString>(answer);
    }
    QFileDialog dialog(parent, QStringLiteral("データファイルの指定"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("エクセル ファイル (*.xls)"), QStringLiteral("すべてのファイル (*)")});
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(fileName);
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        QString path = dialog.selectedFiles().constFirst();
        if (QFileInfo::exists(path) || ConfirmCreation(parent, path)) {
            return path;
        }
    }
    return std::nullopt;
}

std::optional<QString> ChooseExistingFile(QWidget* parent, const QString& title,
                                          const QStringList& filters, const QString& folder,
                                          const QString& fileName) {
    if (TheRecorder().recording()) {
        QString answer = TheRecorder().answer({folder, fileName}, QString());
        return answer.isNull() ? std::nullopt : std::optional<QString>(answer);
    }
    QFileDialog dialog(parent, title, folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.selectFile(fileName);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        return dialog.selectedFiles().constFirst();
    }
    return std::nullopt;
}

namespace FileChooserSeam {

void startRecording() {
    TheRecorder().start();
}

void stopRecording() {
    TheRecorder().stop();
}

void queueAnswers(std::deque<QString> answers) {
    TheRecorder().queue(std::move(answers));
}

const std::vector<Asked>& asked() {
    return TheRecorder().asked();
}

} // namespace FileChooserSeam

} // namespace tomorine
