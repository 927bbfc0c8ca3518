#pragma once

class QWidget;

namespace tomorine {

// Shows a notice or progress window and lets events other than user input
// run until it has been painted, so that its text is on the screen before
// the work it announces keeps the event loop busy. A window already visible
// is repainted at once. Waits at most `limitMilliseconds` for a platform
// that never exposes the window.
void ShowPainted(QWidget* window, int limitMilliseconds = 1000);

// Repaints a widget already visible, such as a label whose text was just set
// to a notice, and waits the same way until the paint has been done. A
// hidden widget is not waited for.
void RepaintPainted(QWidget* widget, int limitMilliseconds = 1000);

// A pause that keeps the windows painted and answering.
void WaitPainting(int milliseconds);

} // namespace tomorine
