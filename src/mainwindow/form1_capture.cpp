// The capture of the browser's page command.
#include "mainwindow/form1.h"

namespace tomorine {

void Form1::Command8_Click() {}

} // namespace tomorine
