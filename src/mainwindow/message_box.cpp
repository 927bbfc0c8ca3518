#include "mainwindow/message_box.h"

#include "store/message_style.h"

#include <QMessageBox>
#include <QPushButton>

namespace tomorine {

namespace {

struct Recorder {
    bool recording = false;
    std::deque<int> answers;
    std::vector<MessageBoxSeam::Shown> shown;
};

Recorder& TheRecorder() {
    static Recorder recorder;
    return recorder;
}

QMessageBox::Icon IconOf(int style) {
    switch (style & 0x70) {
    case MessageStyle::Critical:
        return QMessageBox::Critical;
    case MessageStyle::Exclamation:
        return QMessageBox::Warning;
    case MessageStyle::Information:
        return QMessageBox::Information;
    case 32:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int MessageBox(QWidget* parent, const QString& text, int style) {
    Recorder& recorder = TheRecorder();
    if (recorder.recording) {
        recorder.shown.push_back({text, style});
        if (recorder.answers.empty()) {
            return AnswerOk;
        }
        int answer = recorder.answers.front();
        recorder.answers.pop_front();
        return answer;
    }
    QMessageBox box(IconOf(style), QStringLiteral("トモリネ"), text, QMessageBox::NoButton, parent);
    bool okCancel = (style & 0x0F) == MessageStyle::OkCancel;
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    if (okCancel) {
        QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        box.setEscapeButton(static_cast<QAbstractButton*>(cancel));
    }
    box.exec();
    return box.buttonRole(box.clickedButton()) == QMessageBox::AcceptRole || !okCancel
               ? AnswerOk
               : AnswerCancel;
}

namespace MessageBoxSeam {

void startRecording() {
    TheRecorder() = Recorder{};
    TheRecorder().recording = true;
}

void stopRecording() {
    TheRecorder() = Recorder{};
}

void queueAnswers(std::deque<int> answers) {
    TheRecorder().answers = std::move(answers);
}

const std::vector<Shown>& shown() {
    return TheRecorder().shown;
}

void clearShown() {
    TheRecorder().shown.clear();
}

} // namespace MessageBoxSeam

} // namespace tomorine
