#pragma once

class QWidget;

namespace tomorine {

// Takes one item off a window's window menu, or puts the default menu back.
// On Linux the items become window flags: size (2) makes the window fixed in
// size without a maximize button; minimize (3) and maximize (4) drop their
// buttons; close (5 or 6) drops the close button and makes the window ignore
// a user's close (the program can still close it); restore (0) and move (1)
// have no counterpart and change nothing. With `restore` set the window gets
// its default flags and size rules back and the result is 0. Otherwise the
// result is non-zero for items 0 to 6 and 0 for any other item.
int RemoveSystemMenuItem(QWidget* window, int item, bool restore = false);

// True when the user's close of `window` is being ignored.
bool IsCloseRemoved(const QWidget* window);

// The event a window gets when a user's close was ignored, so that it can
// say why.
int CloseRefusedEventType();

// Closes a window as the program (never ignored). Qt delivers every close of
// a top-level window the same way, so the program marks its own.
void CloseByProgram(QWidget* window);
// True while CloseByProgram is closing `window`.
bool IsClosingByProgram(const QWidget* window);

} // namespace tomorine
