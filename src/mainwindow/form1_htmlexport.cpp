// The HTML export dialog command.
#include "mainwindow/form1.h"

namespace tomorine {

void Form1::Command7_Click() {}

} // namespace tomorine
