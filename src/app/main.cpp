#include "app/application.h"
#include "browser/history_copy.h"
#include "mainwindow/form1.h"
#include "mainwindow/module_state.h"
#include "store/files/pending_temporary_files.h"

#include <QApplication>
#include <iostream>

int main(int argc, char** argv) {
    if (std::optional<int> answered = tomorine::AnswerCommandLine(argc, argv, std::cout)) {
        return *answered;
    }
    tomorine::InstallSaveSignalHandling();
    tomorine::SweepAbandonedHistoryCopies();
    QApplication app(argc, argv);
    tomorine::ConfigureApplication(app);
    tomorine::ModuleState state;
    tomorine::Form1 form1(state);
    if (!form1.Form_Load()) {
        return 1;
    }
    form1.show();
    return app.exec();
}
