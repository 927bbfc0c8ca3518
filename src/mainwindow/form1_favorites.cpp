// The Favorites import command.
#include "mainwindow/form1.h"

namespace tomorine {

void Form1::Command13_Click() {}

} // namespace tomorine
