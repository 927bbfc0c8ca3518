#pragma once

class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace tomorine {

// Enter and Esc for a dialog that is a plain window: Enter presses the
// focused push button, else `defaultButton`; Esc closes the window, which is
// refused while its close is removed (the window is at work).
void InstallDialogKeys(QWidget* window, QPushButton* defaultButton);

// Ctrl+Enter in a multi-line field presses `button`; Enter keeps making lines.
void InstallCtrlEnter(QPlainTextEdit* field, QPushButton* button);

} // namespace tomorine
