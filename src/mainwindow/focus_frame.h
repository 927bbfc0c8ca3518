#pragma once

class QAbstractItemView;

namespace tomorine {

// Draws a frame in the highlight colour round a list while it has the focus:
// the style marks buttons and fields, but a list tabbed to looks the same.
void ShowFocusFrame(QAbstractItemView* list);

} // namespace tomorine
