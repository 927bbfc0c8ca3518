// How the program presents itself to the desktop: the names its desktop
// entry relies on, and its version.
#include "app/application.h"

#include <QApplication>
#include <QLocale>
#include <QSettings>
#include <QTest>
#include <sstream>

using namespace tomorine;

class ApplicationTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ConfigureApplication(*qApp);
    }

    void theDesktopEntryNamesTheWindow() {
        const QSettings entry(TOMORINE_SOURCE_DIR "/packaging/tomorine.desktop",
                              QSettings::IniFormat);
        // X11 window class and Wayland app id.
        QCOMPARE(entry.value("Desktop Entry/StartupWMClass").toString(),
                 QCoreApplication::applicationName());
        QCOMPARE(QGuiApplication::desktopFileName() + ".desktop", QString("tomorine.desktop"));
        QCOMPARE(QGuiApplication::applicationDisplayName(),
                 entry.value("Desktop Entry/Name").toString());
    }

    void versionAndHelpNeedNoWindow() {
        std::ostringstream out;
        char program[] = "tomorine";
        char version[] = "--version";
        char* argv[] = {program, version, nullptr};
        QCOMPARE(AnswerCommandLine(2, argv, out), std::optional<int>(0));
        QCOMPARE(QString::fromStdString(out.str()),
                 QString("tomorine %1\n").arg(QStringLiteral(TOMORINE_VERSION)));
        QCOMPARE(AnswerCommandLine(1, argv, out), std::optional<int>());
    }
};

QTEST_MAIN(ApplicationTest)
#include "application_test.moc"
