#include "app/application.h"

#include "cli/command_reference.h"
#include "mainwindow/qt_translations.h"

#include <QApplication>
#include <ostream>
#include <string_view>

namespace tomorine {

void ConfigureApplication(QApplication& app) {
    // Qt takes the window class from the application name.
    QApplication::setApplicationName(QString::fromLatin1(kDesktopName));
    QApplication::setApplicationDisplayName(QStringLiteral("トモリネ"));
    QApplication::setApplicationVersion(QStringLiteral(TOMORINE_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopName));
    LoadQtTranslations(app);
}

std::optional<int> AnswerCommandLine(int argc, char** argv, std::ostream& out) {
    if (argc != 2) {
        return std::nullopt;
    }
    const std::string_view arg = argv[1];
    if (arg == "--version") {
        out << "tomorine " << TOMORINE_VERSION << '\n';
        return 0;
    }
    if (arg == "--help") {
        const cli::ProgramReference& program = cli::WindowProgramReference();
        out << "使い方: " << program.synopsis << '\n' << program.description.ja << '\n';
        return 0;
    }
    return std::nullopt;
}

} // namespace tomorine
