#pragma once

#include <initializer_list>

class QWidget;

namespace tomorine {

class MainWindow;

// Chains the Tab order through `widgets` in the order given, as the screen
// reads them. Qt skips hidden and disabled widgets as Tab reaches them, so
// a chain may name every control of a window. Every dialog sets its chain
// with this rather than relying on the order its controls were created in.
void SetTabChain(std::initializer_list<QWidget*> widgets);

// The main window: the editor fields, the editor's buttons, the row of
// tool buttons, the list, and the data file path with its buttons last, so
// that tabbing through the editor never lands in the data file path.
void SetMainWindowTabOrder(MainWindow& form);

} // namespace tomorine
