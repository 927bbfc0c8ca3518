// The keyword list command.
#include "mainwindow/form1.h"

namespace tomorine {

void Form1::Command11_Click() {}

} // namespace tomorine
