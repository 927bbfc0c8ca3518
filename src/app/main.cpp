#include "app/application.h"
#include "browser/history_copy.h"
#include "mainwindow/main_window.h"
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
    tomorine::MainWindow mainWindow;
    if (!mainWindow.load()) {
        return 1;
    }
    mainWindow.show();
    return app.exec();
}
