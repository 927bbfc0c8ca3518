#include "mainwindow/file_chooser.h"

#include "mainwindow/message_box.h"
#include "store/message_style.h"

#include <QFileDialog>
#include <QFileInfo>

namespace tomorine {

namespace {

struct Recorder {
    bool recording = false;
    std::deque<QString> answers;
    std::deque<FileChooserSeam::Asked> asked;
};

Recorder& TheRecorder() {
    static Recorder recorder;
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
    Recorder& recorder = TheRecorder();
    if (recorder.recording) {
        recorder.asked.push_back({folder, fileName});
        if (recorder.answers.empty()) {
            return std::nullopt;
        }
        QString answer = recorder.answers.front();
        recorder.answers.pop_front();
        if (answer.isNull()) {
            return std::nullopt;
        }
        return answer;
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

namespace FileChooserSeam {

void startRecording() {
    TheRecorder() = Recorder{};
    TheRecorder().recording = true;
}

void stopRecording() {
    TheRecorder() = Recorder{};
}

void queueAnswers(std::deque<QString> answers) {
    TheRecorder().answers = std::move(answers);
}

const std::deque<Asked>& asked() {
    return TheRecorder().asked;
}

} // namespace FileChooserSeam

} // namespace tomorine
