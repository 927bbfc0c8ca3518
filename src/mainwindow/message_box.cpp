#include "mainwindow/message_box.h"

#include "mainwindow/seam_recorder.h"
#include "store/message_style.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace tomorine {

namespace {

SeamRecorder<MessageBoxSeam::Shown, int>& TheRecorder() {
    static SeamRecorder<MessageBoxSeam::Shown, int> recorder;
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
    if (TheRecorder().recording()) {
        return TheRecorder().answer({text, style}, AnswerOk);
    }
    QMessageBox box(IconOf(style), QStringLiteral("トモリネ"), text, QMessageBox::NoButton, parent);
    bool okCancel = (style & 0x0F) == MessageStyle::OkCancel;
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    if (okCancel) {
        QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        box.setEscapeButton(static_cast<QAbstractButton*>(cancel));
    }
    // A window manager cuts a title wider than the box; room for the title,
    // the title bar's buttons and the icon keeps it whole.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int wide = box.fontMetrics().horizontalAdvance(box.windowTitle()) + 200;
        grid->addItem(new QSpacerItem(wide, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
    return box.buttonRole(box.clickedButton()) == QMessageBox::AcceptRole || !okCancel
               ? AnswerOk
               : AnswerCancel;
}

bool ShowingFailure(QWidget* parent, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        MessageBox(parent, QString::fromUtf8(e.what()), MessageStyle::Critical);
        return false;
    }
}

namespace MessageBoxSeam {

void startRecording() {
    TheRecorder().start();
}

void stopRecording() {
    TheRecorder().stop();
}

void queueAnswers(std::deque<int> answers) {
    TheRecorder().queue(std::move(answers));
}

const std::vector<Shown>& shown() {
    return TheRecorder().asked();
}

void clearShown() {
    TheRecorder().clearAsked();
}

} // namespace MessageBoxSeam

} // namespace tomorine
