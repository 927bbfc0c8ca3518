#include "mainwindow/form1.h"
#include "mainwindow/module_state.h"
#include "store/files/pending_temporary_files.h"

#include <QApplication>

int main(int argc, char** argv) {
    tomorine::InstallSaveSignalHandling();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tomorine"));
    QApplication::setApplicationDisplayName(QStringLiteral("トモリネ"));
    tomorine::ModuleState state;
    tomorine::Form1 form1(state);
    if (!form1.Form_Load()) {
        return 1;
    }
    form1.show();
    return app.exec();
}
