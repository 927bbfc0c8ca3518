// IE取得 on an X11 desktop: the main window on Qt's xcb platform under Xvfb
// and openbox beside firefox-esr showing a local page. The watch must keep
// the browser when the main window comes to the front, and the button must
// fill the fields from the page the browser shows. With --wayland: Firefox
// on a headless weston, where no window is known and the last page is taken.
#include "browser/capture.h"
#include "browser_files.h"
#include "local_http_server.h"
#include "main_window_harness.h"
#include "x_session.h"

#include <QApplication>
#include <cstdio>
#include <sys/stat.h>
#include <thread>

using namespace tomorine;
using namespace tomorine::test;

namespace {

const QString kTitle = QStringLiteral("X11の頁");
bool wayland_ = false;
std::vector<std::string> firefoxEnv_; // an X display, or a Wayland socket

} // namespace

class CaptureX11Test : public QObject {
    Q_OBJECT
private slots:
    void theButtonCapturesThePageFirefoxShows() {
        LocalHttpServer server;
        server.serve("/x11", {"text/html; charset=utf-8",
                              "<title>" + kTitle.toStdString() +
                                  "</title><meta content=\"x11,firefox\" name=\"keywords\">"});
        TempDir home;
        const auto profile = DefaultFirefoxProfile(home.path(), "t.profile");
        std::filesystem::copy_file(TOMORINE_FIREFOX_USER_JS, profile / "user.js");
        MainWindow::setCaptureEnvironment([&] {
            CaptureEnvironment env;
            env.home = home.path();
            env.configHome = home / ".config";
            return env;
        });

        MainWindowHarness h;
        QVERIFY(h.load());
        h.window().show();
        firefoxEnv_.push_back("HOME=" + home.path().string());
        firefoxEnv_.push_back("MOZ_CRASHREPORTER_DISABLE=1");
        Child firefox(
            {"firefox-esr", "-no-remote", "-profile", profile.string(), server.url("/x11")},
            firefoxEnv_);
        if (!wayland_) {
            QTRY_VERIFY_WITH_TIMEOUT(
                QString::fromStdString(h.window().lastForeignWindow().title).startsWith(kTitle),
                90000);
            const std::uint32_t browser = h.window().lastForeignWindow().id;
            h.window().activateWindow();
            h.window().raise();
            QTRY_VERIFY_WITH_TIMEOUT(h.window().isActiveWindow(), 10000);
            QTest::qWait(300);
            QCOMPARE(h.window().lastForeignWindow().id, browser);
        }

        // The browser writes its records a moment after it shows the page.
        for (int i = 0; i < 60 && h.window().urlField->text().isEmpty(); ++i) {
            h.window().captureButton->click();
            if (h.window().urlField->text().isEmpty()) {
                QTest::qWait(1000);
            }
        }
        QCOMPARE(h.window().urlField->text(), QString::fromStdString(server.url("/x11")));
        QCOMPARE(h.window().titleField->text(), kTitle);
        QCOMPARE(h.window().keywordsField->text(), QString("X11 FIREFOX"));
        QCOMPARE(h.window().lastForeignWindow().id == 0, wayland_);
        MainWindow::setCaptureEnvironment({});
    }
};

int main(int argc, char** argv) {
    wayland_ = argc > 1 && std::string(argv[1]) == "--wayland";
    for (const char* program : {wayland_ ? "weston" : "Xvfb", "openbox", "firefox-esr"}) {
        if (!OnPath(program)) {
            std::printf("SKIP: %s is not installed\n", program);
            return 77;
        }
    }
    std::unique_ptr<XvfbSession> display;
    std::unique_ptr<Child> weston;
    TempDir runtime;
    if (wayland_) {
        chmod(runtime.path().c_str(), 0700);
        firefoxEnv_ = {"XDG_RUNTIME_DIR=" + runtime.path().string(), "WAYLAND_DISPLAY=tomorine",
                       "MOZ_ENABLE_WAYLAND=1", "GDK_BACKEND=wayland"};
        weston = std::make_unique<Child>(std::vector<std::string>{"weston",
                                                                  "--backend=headless-backend.so",
                                                                  "--socket=tomorine"},
                                         firefoxEnv_);
        for (int i = 0; i < 100 && !std::filesystem::exists(runtime / "tomorine"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        unsetenv("DISPLAY");
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_SESSION_TYPE", "wayland", 1);
    } else {
        display = std::make_unique<XvfbSession>();
        if (display->name.empty()) {
            std::printf("FAIL: Xvfb did not start\n");
            return 1;
        }
        firefoxEnv_ = {"DISPLAY=" + display->name};
        setenv("DISPLAY", display->name.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        unsetenv("XDG_SESSION_TYPE");
        unsetenv("WAYLAND_DISPLAY");
    }
    int status = 0;
    {
        int qtArgc = 1; // --wayland is no test function
        QApplication app(qtArgc, argv);
        CaptureX11Test test;
        status = QTest::qExec(&test, qtArgc, argv);
    }
    return status;
}

#include "main_window_capture_x11_test.moc"
