// The merge dialog command.
#include "mainwindow/form1.h"

namespace tomorine {

void Form1::Command10_Click() {}

} // namespace tomorine
