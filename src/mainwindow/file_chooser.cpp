#include "mainwindow/file_chooser.h"

#include "mainwindow/message_box.h"
#include "mainwindow/seam_recorder.h"
#include "store/message_style.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace tomorine {

namespace {

SeamRecorder<FileChooserSeam::Asked, QString>& TheRecorder() {
    static SeamRecorder<FileChooserSeam::Asked, QString> recorder;
    return recorder;
}

// A chosen name that does not exist yet is created only when the user agrees.
bool ConfirmCreation(QWidget* parent, const QString& path) {
    return MessageBox(parent,
                      path + QStringLiteral("\r\nこのファイルは存在しません。\r\n作成しますか？"),
                      MessageStyle::OkCancel + 32) == AnswerOk;
}

// A file that exists, or a new name confirmed by the user in a folder that
// exists and takes new files. Any other name would become a data file that
// can never be created; the user is told and stays in the chooser.
class DataFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (files.isEmpty()) {
            return;
        }
        const QFileInfo chosen(files.constFirst());
        if (chosen.exists()) {
            QFileDialog::accept(); // a folder is opened, a file taken
            return;
        }
        if (!QFileInfo(chosen.absolutePath()).isDir()) {
            MessageBox(this,
                       QDir::toNativeSeparators(chosen.absolutePath()) +
                           QStringLiteral("\r\nこのフォルダは存在しません。\r\n"
                                          "フォルダ名を確認してください。"),
                       MessageStyle::Exclamation);
            return;
        }
        if (!QFileInfo(chosen.absolutePath()).isWritable()) {
            MessageBox(this,
                       QDir::toNativeSeparators(chosen.absolutePath()) +
                           QStringLiteral("\r\nこのフォルダにはファイルを作れません。"),
                       MessageStyle::Exclamation);
            return;
        }
        if (ConfirmCreation(this, QDir::toNativeSeparators(chosen.absoluteFilePath()))) {
            QFileDialog::accept();
        }
    }
};

} // namespace

std::optional<QString> ChooseDataFile(QWidget* parent, const QString& folder,
                                      const QString& fileName) {
    return ChooseFile(
        parent, QStringLiteral("データファイルの指定"),
        {QStringLiteral("エクセル ファイル (*.xls)"), QStringLiteral("すべてのファイル (*)")},
        folder, fileName);
}

std::optional<QString> ChooseFile(QWidget* parent, const QString& title, const QStringList& filters,
                                  const QString& folder, const QString& fileName) {
    if (TheRecorder().recording()) {
        // A null answer (also when none is queued) is a cancel.
        QString answer = TheRecorder().answer({folder, fileName, title, filters}, QString());
        return answer.isNull() ? std::nullopt : std::optional<QString>(answer);
    }
    DataFileDialog dialog(parent, title, folder);
    dialog.setObjectName(QStringLiteral("fileChooser"));
    // Qt's own chooser, so that the checks above hold on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& folder) {
    if (TheRecorder().recording()) {
        QString answer = TheRecorder().answer({folder, QString(), title, {}}, QString());
        return answer.isNull() ? std::nullopt : std::optional<QString>(answer);
    }
    QString chosen = QFileDialog::getExistingDirectory(parent, title, folder);
    return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
}

std::optional<QString> ChooseExistingFile(QWidget* parent, const QString& title,
                                          const QStringList& filters, const QString& folder,
                                          const QString& fileName) {
    if (TheRecorder().recording()) {
        QString answer = TheRecorder().answer({folder, fileName, title, filters}, QString());
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
