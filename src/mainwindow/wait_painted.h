#pragma once

class QWidget;

namespace tomorine {

// Repaints a visible widget and lets events run until its paint has been
// done (at most about a second), so that a notice set just before long work
// is on the screen while the work runs. A hidden widget is not waited for.
void WaitPainted(QWidget* widget);

} // namespace tomorine
