#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <vector>

class QWidget;

namespace tomorine {

// Every message of the program goes through here: title "トモリネ", and a
// MessageStyle (0 OK, 1 OK/Cancel, 16 critical, 48 exclamation, 49 OK/Cancel
// with exclamation, 64 information).
// Returns AnswerOk (1) or AnswerCancel (2).
int MessageBox(QWidget* parent, const QString& text, int style);

// Runs `step`; a failure is shown with its description in a critical message
// box and gives false.
bool ShowingFailure(QWidget* parent, const std::function<void()>& step);

// Test seam: while recording, MessageBox shows nothing; it records each
// message and answers from the queue (OK when the queue is empty).
namespace MessageBoxSeam {
struct Shown {
    QString text;
    int style = 0;
};
void startRecording();
void stopRecording();
void queueAnswers(std::deque<int> answers);
const std::vector<Shown>& shown();
void clearShown();
} // namespace MessageBoxSeam

} // namespace tomorine
