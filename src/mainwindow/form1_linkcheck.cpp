// The link check command.
#include "mainwindow/form1.h"

namespace tomorine {

void Form1::Command12_Click() {}

} // namespace tomorine
