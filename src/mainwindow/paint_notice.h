#pragma once

class QWidget;

namespace tomorine {

// Shows a notice or progress window and lets the event loop run until the
// window has been painted, so that a text such as "削除しています" is on the
// screen before the work it announces keeps the event loop busy. Call it
// instead of show() for every window shown right before long work; the work
// itself then lets events run between its steps (processEvents) so that the
// windows keep repainting.
//
// A window already visible is repainted at once. User input is held back
// while waiting, so no command can start in between. Waits at most
// `limitMilliseconds` for a platform that never exposes the window.
void ShowPainted(QWidget* window, int limitMilliseconds = 1000);

// Repaints a widget already visible, such as a label whose text was just set
// to a notice, and waits the same way until the paint has been done. A
// hidden widget is not waited for.
void RepaintPainted(QWidget* widget, int limitMilliseconds = 1000);

} // namespace tomorine
