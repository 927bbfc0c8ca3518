#pragma once

#include <initializer_list>

class QWidget;

namespace tomorine {

class MainWindow;

// Chains the Tab order through `widgets` as the screen reads them; Qt skips
// the hidden and disabled ones, so a chain may name every control.
void SetTabChain(std::initializer_list<QWidget*> widgets);

// The main window: the editor fields, the editor's buttons, the row of
// tool buttons, the list, and the data file path with its buttons last, so
// that tabbing through the editor never lands in the data file path.
void SetMainWindowTabOrder(MainWindow& form);

} // namespace tomorine
